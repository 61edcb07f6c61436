#include "host/effect_base.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "host/entry_points.h"

namespace {

constexpr VstInt32 kNoEffectId = fourCharCode('N', 'o', 'E', 'f');
constexpr VstInt32 kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');
constexpr double kVuScale = 32767.0;

// A host sample rate we can compute with.
bool usableRate(float rate) { return std::isfinite(rate) && rate > 0.0f; }

}  // namespace

VstInt32 clampToInt32(VstIntPtr value) {
    if (value > std::numeric_limits<VstInt32>::max()) return std::numeric_limits<VstInt32>::max();
    if (value < std::numeric_limits<VstInt32>::min()) return std::numeric_limits<VstInt32>::min();
    return static_cast<VstInt32>(value);
}


EffectBase::EffectBase(audioMasterCallback host, VstInt32 programs, VstInt32 parameters)
    : hostCallback(host), programCount(programs > 0 ? programs : 0), parameterCount(parameters > 0 ? parameters : 0) {
    std::memset(&record, 0, sizeof record);
    record.magic = kEffectMagic;
    record.dispatcher = dispatchEntry;
    record.process = processEntry;
    record.setParameter = setParameterEntry;
    record.getParameter = getParameterEntry;
    record.numPrograms = programCount;
    record.numParams = parameterCount;
    record.numInputs = 1;
    record.numOutputs = 2;
    record.ioRatio = 1.0f;
    record.object = this;
    record.uniqueID = kNoEffectId;
    record.version = 1;
    record.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase() { delete editor; }

void EffectBase::setFlag(VstInt32 flag, bool state) {
    if (state)
        record.flags |= flag;
    else
        record.flags &= ~flag;
}

VstIntPtr EffectBase::callHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return hostCallback ? hostCallback(&record, opcode, index, value, ptr, opt) : 0;
}

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    const bool parameterInRange = index >= 0 && index < parameterCount;
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen: open(); return 0;
    case effClose: close(); return 0;
    case effSetProgram:
        if (value >= 0 && value < programCount) setProgram(static_cast<VstInt32>(value));
        return 0;
    case effGetProgram: return getProgram();
    case effSetProgramName:
        if (text) setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text) getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text && parameterInRange) getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text && parameterInRange) getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text && parameterInRange) getParameterName(index, text);
        return 0;
    case effGetVu: return truncateToInt32(static_cast<double>(getVu()) * kVuScale);
    case effSetSampleRate:
        if (usableRate(opt)) setSampleRate(opt);
        return 0;
    case effSetBlockSize: setBlockSize(clampToInt32(value)); return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect: return editor && ptr ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen: return editor ? editor->open(ptr) : 0;
    case effEditClose:
        if (editor) editor->close();
        return 0;
    case effEditIdle:
        if (editor) editor->idle();
        return 0;
    case effIdentify: return kIdentifyAnswer;
    case effGetChunk: return ptr ? getChunk(static_cast<void**>(ptr), index != 0) : 0;
    case effSetChunk: return ptr && value >= 0 ? setChunk(ptr, clampToInt32(value), index != 0) : 0;
    default: return 0;  // drawing, mouse, key, top and sleep requests included: nothing to do
    }
}
