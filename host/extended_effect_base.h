// The effect with the rest of the host requests (opcodes 25 to 76), the remaining host
// calls and the speaker-arrangement utilities, all with inert defaults.
#pragma once

#include "host/effect_base.h"
#include "host/vst_records.h"

class ExtendedEffectBase : public EffectBase {
public:
    using EffectBase::EffectBase;

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    // The order of these operations is part of the class's contract; append, never insert.
    virtual EditorInterface* getEditor() { return editor; }
    virtual VstInt32 hostWantMidi(VstInt32 filter);
    virtual VstTimeInfo* hostGetTime(VstInt32 filter);
    virtual VstInt32 hostTempoAt(VstInt32 position);
    virtual VstInt32 processEvents(VstEvents* events) { return (void)events, 0; }
    virtual VstInt32 hostGetNumAutomatableParameters();
    virtual VstInt32 hostGetParameterQuantization();
    virtual bool canBeAutomated(VstInt32 index) { return (void)index, true; }
    virtual bool string2Parameter(VstInt32 index, char* text) { return (void)index, (void)text, false; }
    virtual float getChannelParameter(VstInt32 channel, VstInt32 index) { return (void)channel, (void)index, 0.0f; }
    virtual VstInt32 getNumProgramCategories() { return 1; }
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
        return (void)category, (void)index, (void)text, false;
    }
    virtual bool copyProgram(VstInt32 destination) { return (void)destination, false; }
    virtual bool hostIoChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(VstInt32 width, VstInt32 height);
    virtual float hostGetSampleRate();
    virtual VstInt32 hostGetBlockSize();
    virtual VstInt32 hostGetInputLatency();
    virtual VstInt32 hostGetOutputLatency();
    virtual AEffect* hostGetPreviousPlug(VstInt32 input);
    virtual AEffect* hostGetNextPlug(VstInt32 output);
    virtual void connectInput(VstInt32 index, bool state) { (void)index, (void)state; }
    virtual void connectOutput(VstInt32 index, bool state) { (void)index, (void)state; }
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties) {
        return (void)index, (void)properties, false;
    }
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties) {
        return (void)index, (void)properties, false;
    }
    virtual VstInt32 getPlugCategory() { return (record.flags & effFlagsIsSynth) ? 2 : 0; }
    virtual VstInt32 hostWillReplaceOrAccumulate();
    virtual VstInt32 hostGetCurrentProcessLevel();
    virtual VstInt32 hostGetAutomationState();
    virtual void setExtIsAsync(bool state) { setFlag(effFlagsExtIsAsync, state); }
    virtual void setExtHasBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
    virtual VstInt32 getCurrentPosition() { return 0; }
    virtual float* getDestinationBuffer() { return nullptr; }
    virtual bool hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource);
    virtual bool hostOfflineWrite(VstOfflineTask* task, VstInt32 option);
    virtual bool hostOfflineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount);
    virtual VstInt32 hostOfflineGetCurrentPass();
    virtual VstInt32 hostOfflineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* files, VstInt32 count, bool start) {
        return (void)files, (void)count, (void)start, false;
    }
    virtual bool offlinePrepare(VstOfflineTask* task, VstInt32 count) { return (void)task, (void)count, false; }
    virtual bool offlineRun(VstOfflineTask* task, VstInt32 count) { return (void)task, (void)count, false; }
    virtual VstInt32 offlinePassCount() { return 0; }
    virtual VstInt32 offlineMetaPassCount() { return 0; }
    virtual void hostSetOutputSampleRate(float rate);
    virtual VstSpeakerArrangement* hostGetInputSpeakerArrangement();
    virtual VstSpeakerArrangement* hostGetOutputSpeakerArrangement();
    virtual bool hostGetVendorString(char* text);
    virtual bool hostGetProductString(char* text);
    virtual VstInt32 hostGetVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 hostCanDo(char* text);
    virtual void setIsSynth(bool state) { setFlag(effFlagsIsSynth, state); }
    virtual void setNoSoundInStop(bool state) { setFlag(effFlagsNoSoundInStop, state); }
    virtual VstInt32 hostGetLanguage();
    virtual void* hostOpenWindow(VstWindow* window);
    virtual bool hostCloseWindow(VstWindow* window);
    virtual void* hostGetDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVarIo(VstVariableIo* varIo) { return (void)varIo, false; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output) {
        return (void)input, (void)output, false;
    }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate) {
        blockSize = size;
        sampleRate = rate;
    }
    virtual bool setBypass(bool state) { return (void)state, false; }
    virtual bool getEffectName(char* name) { return (void)name, false; }
    virtual bool getErrorText(char* text) { return (void)text, false; }
    virtual bool getVendorString(char* text) { return (void)text, false; }
    virtual bool getProductString(char* text) { return (void)text, false; }
    virtual VstInt32 getVendorVersion() { return 0; }
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        return (void)index, (void)value, (void)ptr, (void)opt, 0;
    }
    virtual VstInt32 canDo(char* text) { return (void)text, 0; }
    virtual void* getIcon() { return nullptr; }
    virtual bool setViewPosition(VstInt32 x, VstInt32 y) { return (void)x, (void)y, false; }
    virtual VstInt32 getTailSize() { return 0; }
    virtual VstInt32 idle() { return 0; }
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* properties) {
        return (void)index, (void)properties, false;
    }
    virtual bool keysRequired() { return false; }
    virtual VstInt32 getVstVersion() { return 2300; }
    virtual VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name) {
        return (void)channel, (void)name, 0;
    }
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name) {
        return (void)channel, (void)name, -1;
    }
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category) {
        return (void)channel, (void)category, 0;
    }
    virtual bool hasMidiProgramsChanged(VstInt32 channel) { return (void)channel, false; }
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName) { return (void)channel, (void)keyName, false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual bool hostBeginEdit(VstInt32 index);
    virtual bool hostEndEdit(VstInt32 index);
    virtual bool hostOpenFileSelector(VstFileSelect* selector);
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value) { return value; }
    virtual VstInt32 shellGetNextPlugin(char* name) { return (void)name, 0; }
    virtual VstInt32 startProcess() { return 0; }
    virtual VstInt32 stopProcess() { return 0; }
    virtual bool setPanLaw(VstInt32 type, float value) { return (void)type, (void)value, false; }
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* patch) { return (void)patch, 0; }
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* patch) { return (void)patch, 0; }
    virtual bool allocateArrangement(VstSpeakerArrangement** slot, VstInt32 channelCount);
    virtual bool deallocateArrangement(VstSpeakerArrangement** slot);
    virtual bool copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool matchArrangement(VstSpeakerArrangement** slot, VstSpeakerArrangement* from);
};
