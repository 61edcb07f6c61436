// Schroeder allpass (z^−L − g) / (1 − g z^−L): the input diffusers.
#pragma once

#include "dsp/delay_buffer.h"
#include "dsp/engine_constants.h"

class AllpassDelay : public DelayBuffer {
public:
    AllpassDelay() : DelayBuffer(0.0f) {}
    virtual ~AllpassDelay() = default;

    // A NaN lands on the lower limit.
    static float limitGain(float g) {
        if (g > kAllpassGainLimit) return kAllpassGainLimit;
        if (!(g >= -kAllpassGainLimit)) return -kAllpassGainLimit;
        return g;
    }

    // One step on the slot's content: returns the output and leaves x + g v in the slot.
    // For one frame, or for lanes of consecutive frames.
    template <class T>
    static T pass(float g, T x, T& slot) {
        const T v = slot - g * x;
        slot = x + g * v;
        return v;
    }

    void setGain(float g) { gain_ = limitGain(g); }

    void process(float x) {
        lastOutput_ = pass(gain_, x, buffer_[position_]);
        advance();
    }

    float output() const { return lastOutput_; }

    // After frames were run on the slots directly: the output of the last of them.
    void setOutput(float v) { lastOutput_ = v; }

private:
    float lastOutput_ = 0.0f;
};
