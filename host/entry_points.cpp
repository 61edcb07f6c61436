#include "host/entry_points.h"

#include "host/effect_base.h"

namespace {

EffectBase* effectOf(AEffect* record) { return record ? static_cast<EffectBase*>(record->object) : nullptr; }

// A non-empty block with missing buffers is skipped rather than crashing the host:
// every channel the record declares must be present.
bool buffersUsable(const AEffect& record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    if (sampleFrames <= 0) return true;
    if (!inputs || !outputs) return false;
    for (VstInt32 i = 0; i < record.numInputs; ++i)
        if (!inputs[i]) return false;
    for (VstInt32 i = 0; i < record.numOutputs; ++i)
        if (!outputs[i]) return false;
    return true;
}

}  // namespace

VstIntPtr VSTCALLBACK dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
    EffectBase* effect = effectOf(record);
    if (!effect) return 0;
    try {
        if (opcode == effClose) {
            effect->dispatcher(opcode, index, value, ptr, opt);
            delete effect;  // the record lived inside it: nothing may be touched after this
            return 1;
        }
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;  // nothing may unwind into the host
    }
}

void VSTCALLBACK processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    EffectBase* effect = effectOf(record);
    if (effect && buffersUsable(*record, inputs, outputs, sampleFrames)) effect->process(inputs, outputs, sampleFrames);
}

void VSTCALLBACK processReplacingEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames) {
    EffectBase* effect = effectOf(record);
    if (effect && buffersUsable(*record, inputs, outputs, sampleFrames))
        effect->processReplacing(inputs, outputs, sampleFrames);
}

void VSTCALLBACK setParameterEntry(AEffect* record, VstInt32 index, float value) {
    if (EffectBase* effect = effectOf(record)) effect->setParameter(index, value);
}

float VSTCALLBACK getParameterEntry(AEffect* record, VstInt32 index) {
    EffectBase* effect = effectOf(record);
    return effect ? effect->getParameter(index) : 0.0f;
}
