// The core effect: owns the record the host drives, answers the core requests (opcodes
// 0 to 24) with inert defaults and wraps the first host calls. A concrete effect
// overrides only what it supports.
#pragma once

#include "dsp/portable_math.h"
#include "host/aeffect.h"
#include "host/editor_interface.h"

class EffectBase {
public:
    EffectBase(audioMasterCallback host, VstInt32 programCount, VstInt32 parameterCount);
    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    // The order of these operations is part of the class's contract; append, never insert.
    virtual ~EffectBase();
    virtual void setParameter(VstInt32 index, float value) { (void)index, (void)value; }
    virtual float getParameter(VstInt32 index) { return (void)index, 0.0f; }
    virtual void setParameterAutomated(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
        (void)inputs, (void)outputs, (void)sampleFrames;
    }
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open() {}
    virtual void close() {}
    virtual VstInt32 getProgram() { return currentProgram; }
    virtual void setProgram(VstInt32 program) { currentProgram = program; }
    virtual void setProgramName(char* name) { (void)name; }
    virtual void getProgramName(char* name) { clearText(name); }
    virtual void getParameterLabel(VstInt32 index, char* label) { (void)index, clearText(label); }
    virtual void getParameterDisplay(VstInt32 index, char* text) { (void)index, clearText(text); }
    virtual void getParameterName(VstInt32 index, char* name) { (void)index, clearText(name); }
    virtual float getVu() { return 0.0f; }
    virtual VstInt32 getChunk(void** data, bool isPreset) { return (void)data, (void)isPreset, 0; }
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset) {
        return (void)data, (void)byteSize, (void)isPreset, 0;
    }
    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(VstInt32 size) { blockSize = size; }
    virtual void suspend() {}
    virtual void resume() {}
    virtual void setUniqueId(VstInt32 id) { record.uniqueID = id; }
    virtual void setNumInputs(VstInt32 count) { record.numInputs = count; }
    virtual void setNumOutputs(VstInt32 count) { record.numOutputs = count; }
    virtual void setHasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void setHasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void setCanMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void setCanReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }
    virtual void setProgramChunks(bool state) { setFlag(effFlagsProgramChunks, state); }
    virtual void setRealtimeQualities(VstInt32 qualities) { record.realQualities = qualities; }
    virtual void setOfflineQualities(VstInt32 qualities) { record.offQualities = qualities; }
    virtual void setInitialDelay(VstInt32 delay) { record.initialDelay = delay; }
    virtual float getSampleRate() { return sampleRate; }
    virtual VstInt32 getBlockSize() { return blockSize; }
    virtual VstInt32 hostVersion();
    virtual VstInt32 hostCurrentId();
    virtual VstInt32 hostIdle();
    virtual bool isInputConnected(VstInt32 index);
    virtual bool isOutputConnected(VstInt32 index);
    virtual void dbToString(float value, char* text);
    virtual void hzToString(float samples, char* text);
    virtual void msToString(float samples, char* text);
    virtual void floatToString(float value, char* text);
    virtual void longToString(VstInt32 value, char* text);

    float sampleRate = 44100.0f;
    EditorInterface* editor = nullptr;  // owned; set by the editor when it is built
    audioMasterCallback hostCallback = nullptr;
    VstInt32 programCount = 0;
    VstInt32 parameterCount = 0;
    VstInt32 currentProgram = 0;
    VstInt32 blockSize = 1024;
    AEffect record;  // record.object points back at this object

protected:
    // Every host call goes through here: no host callback means the answer 0, which is
    // also what each wrapper's own no-host default is built from.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    void setFlag(VstInt32 flag, bool state);
    static void clearText(char* text) {
        if (text) text[0] = '\0';
    }
};

// The dispatcher's value argument narrowed to 32 bits, saturating instead of wrapping.
VstInt32 clampToInt32(VstIntPtr value);
// A float from the host converted to an integer, truncated toward zero; NaN gives 0 and
// values beyond the 32-bit range saturate.
using portable::truncateToInt32;
