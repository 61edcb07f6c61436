#include "host/extended_effect_base.h"

#include <cmath>

namespace {

VstIntPtr yesNo(bool answer) { return answer ? 1 : 0; }

}  // namespace

bool ExtendedEffectBase::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output) {
    if (input) *input = nullptr;
    if (output) *output = nullptr;
    return false;
}

// Requests that carry a text or a record to fill are refused when the host passes no
// pointer: the operations behind them may write through it.
VstIntPtr ExtendedEffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    char* text = static_cast<char*>(ptr);
    const VstInt32 value32 = clampToInt32(value);
    switch (opcode) {
    case effProcessEvents: return ptr ? processEvents(static_cast<VstEvents*>(ptr)) : 0;
    case effCanBeAutomated: return yesNo(canBeAutomated(index));
    case effString2Parameter:
        return text && index >= 0 && index < parameterCount ? yesNo(string2Parameter(index, text)) : 0;
    case effGetNumProgramCategories: return getNumProgramCategories();
    case effGetProgramNameIndexed:
        return text && index >= 0 && index < programCount ? yesNo(getProgramNameIndexed(value32, index, text)) : 0;
    case effCopyProgram: return index >= 0 && index < programCount ? yesNo(copyProgram(index)) : 0;
    case effConnectInput: connectInput(index, value != 0); return 1;
    case effConnectOutput: connectOutput(index, value != 0); return 1;
    case effGetInputProperties: return ptr ? yesNo(getInputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetOutputProperties:
        return ptr ? yesNo(getOutputProperties(index, static_cast<VstPinProperties*>(ptr))) : 0;
    case effGetPlugCategory: return getPlugCategory();
    case effGetCurrentPosition: return getCurrentPosition();
    case effGetDestinationBuffer: return reinterpret_cast<VstIntPtr>(getDestinationBuffer());
    case effOfflineNotify: return ptr ? yesNo(offlineNotify(static_cast<VstAudioFile*>(ptr), value32, index != 0)) : 0;
    case effOfflinePrepare: return ptr ? yesNo(offlinePrepare(static_cast<VstOfflineTask*>(ptr), value32)) : 0;
    case effOfflineRun: return ptr ? yesNo(offlineRun(static_cast<VstOfflineTask*>(ptr), value32)) : 0;
    case effProcessVarIo: return ptr ? yesNo(processVarIo(static_cast<VstVariableIo*>(ptr))) : 0;
    case effSetSpeakerArrangement: {
        auto* input = reinterpret_cast<VstSpeakerArrangement*>(value);
        auto* output = static_cast<VstSpeakerArrangement*>(ptr);
        return input && output ? yesNo(setSpeakerArrangement(input, output)) : 0;
    }
    case effSetBlockSizeAndSampleRate:
        // A rate nobody can compute with is ignored; the block size still counts.
        if (!std::isfinite(opt) || opt <= 0.0f)
            setBlockSize(value32);
        else
            setBlockSizeAndSampleRate(value32, opt);
        return 1;
    case effSetBypass: return yesNo(setBypass(value != 0));
    case effGetEffectName: return text ? yesNo(getEffectName(text)) : 0;
    case effGetErrorText: return text ? yesNo(getErrorText(text)) : 0;
    case effGetVendorString: return text ? yesNo(getVendorString(text)) : 0;
    case effGetProductString: return text ? yesNo(getProductString(text)) : 0;
    case effGetVendorVersion: return getVendorVersion();
    case effVendorSpecific: return vendorSpecific(index, value, ptr, opt);
    case effCanDo: return text ? canDo(text) : 0;
    case effGetTailSize: return getTailSize();
    case effIdle: return idle();
    case effGetIcon: return reinterpret_cast<VstIntPtr>(getIcon());
    case effSetViewPosition: return yesNo(setViewPosition(index, value32));
    case effGetParameterProperties:
        return ptr ? yesNo(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr))) : 0;
    case effKeysRequired: return yesNo(!keysRequired());  // the host asks the opposite question
    case effGetVstVersion: return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor) return 0;
        VstKeyCode key{};
        key.character = index;
        key.virt = static_cast<unsigned char>(value & 0xFF);
        key.modifier = static_cast<unsigned char>(truncateToInt32(opt) & 0xFF);
        return opcode == effEditKeyDown ? editor->keyDown(key) : editor->keyUp(key);
    }
    case effSetEditKnobMode: return editor ? editor->setKnobMode(value32) : 0;
    case effGetMidiProgramName: return ptr ? getMidiProgramName(index, static_cast<MidiProgramName*>(ptr)) : 0;
    case effGetCurrentMidiProgram: return ptr ? getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr)) : -1;
    case effGetMidiProgramCategory:
        return ptr ? getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr)) : 0;
    case effHasMidiProgramsChanged: return yesNo(hasMidiProgramsChanged(index));
    case effGetMidiKeyName: return ptr ? yesNo(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr))) : 0;
    case effBeginSetProgram: return yesNo(beginSetProgram());
    case effEndSetProgram: return yesNo(endSetProgram());
    case effGetSpeakerArrangement: {
        auto** input = reinterpret_cast<VstSpeakerArrangement**>(value);
        auto** output = static_cast<VstSpeakerArrangement**>(ptr);
        return input && output ? yesNo(getSpeakerArrangement(input, output)) : 0;
    }
    case effShellGetNextPlugin: return text ? shellGetNextPlugin(text) : 0;
    case effStartProcess: return startProcess();
    case effStopProcess: return stopProcess();
    case effSetTotalSampleToProcess: return setTotalSampleToProcess(value32);
    case effSetPanLaw: return yesNo(setPanLaw(value32, opt));
    case effBeginLoadBank: return ptr ? beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr)) : 0;
    case effBeginLoadProgram: return ptr ? beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr)) : 0;
    default: return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    }
}
