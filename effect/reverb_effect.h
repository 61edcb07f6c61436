// The reverb as the host sees it: thirteen parameters kept in eight programs, the
// identity and capability answers, the two audio callbacks feeding the engine and the
// output peak for the meters.
#pragma once

#include <atomic>

#include "dsp/denormal_noise.h"
#include "dsp/reverb_engine.h"
#include "effect/reverb_program.h"
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
    ReverbProgram programs[kProgramCount];
    std::atomic<float> peakLevel{0.0f};  // written by the audio thread, read and reset by meters
    DenormalNoise noise;
    ReverbEngine engine;

private:
    static constexpr VstInt32 kCleanFrames = 256;

    ReverbProgram& current();
    float outGain();
    void applyToEngine(int index);
    void render(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate);
    void raisePeak(float blockPeak);

    // Audio thread only: a block's input with its non-finite samples replaced.
    float cleanLeft[kCleanFrames];
    float cleanRight[kCleanFrames];
};
