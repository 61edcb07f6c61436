// The reverb as a VST 2.x host sees it: the core's parameters, programs, audio and meter
// behind the host interface, with the identity and capability answers.
#pragma once

#include "effect/reverb_core.h"
#include "host/extended_effect_base.h"

class ReverbEffect : public ExtendedEffectBase {
public:
    explicit ReverbEffect(audioMasterCallback host);
    ~ReverbEffect() override;

    // False when the engine could not get its buffers; such an effect must not be handed
    // to a host.
    bool isValid() const;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    VstInt32 getProgram() override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    float getVu() override;
    void setSampleRate(float rate) override;
    void resume() override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getErrorText(char* text) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;

    // The gate's state for the panel's LED: 0 open, 1 hold, 2 release.
    int gateState() const;

protected:
    // Told of every stored value that changed, a program change's thirteen in order; runs on
    // the thread of the change.
    virtual void parameterChanged(VstInt32 index, float value) { (void)index, (void)value; }

    ReverbCore core;

private:
    void render(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate);
};
