// TEMPORARY stand-in for the format-free core that is being split out of ReverbEffect; it
// lets the LV2 adapter build until the real effect/reverb_core.h lands, then this folder
// goes. Same interface, same arithmetic as ReverbEffect.
#pragma once

#include <atomic>

#include "dsp/denormal_noise.h"
#include "dsp/reverb_engine.h"
#include "effect/reverb_program.h"

class ReverbCore {
public:
    ReverbCore();
    bool isValid() const { return engine.isValid(); }
    void setParameter(int index, float normalised);
    float getParameter(int index) const;
    void setProgram(int program);
    int program() const { return current; }
    void setSampleRate(float rate);
    float takePeak() { return peakLevel.exchange(0.0f, std::memory_order_relaxed); }
    int gateState() const { return engine.gateState(); }
    const ReverbProgram& programAt(int index) const { return programs[index]; }
    void resume() { engine.updateCoefficients(); }
    void render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                bool accumulate);

private:
    void applyToEngine(int index);
    float outGain();
    static constexpr int kCleanFrames = 256;
    ReverbProgram programs[kProgramCount];
    int current = 0;
    float rate = 44100.0f;
    std::atomic<float> peakLevel{0.0f};
    DenormalNoise noise;
    ReverbEngine engine;
    float cleanLeft[kCleanFrames];
    float cleanRight[kCleanFrames];
};
