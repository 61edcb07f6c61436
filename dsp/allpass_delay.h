// Schroeder allpass (z^−L − g) / (1 − g z^−L): the input diffusers.
#pragma once

#include "dsp/delay_buffer.h"
#include "dsp/engine_constants.h"

class AllpassDelay : public DelayBuffer {
public:
    AllpassDelay() : DelayBuffer(0.0f) {}
    virtual ~AllpassDelay() = default;

    // A NaN lands on the lower limit.
    static float limitGain(float g)
    {
        if (g > kAllpassGainLimit)
            return kAllpassGainLimit;
        if (!(g >= -kAllpassGainLimit))
            return -kAllpassGainLimit;
        return g;
    }

    void setGain(float g) { gain_ = limitGain(g); }

    void process(float x)
    {
        float& slot = buffer_[position_];
        const float v = slot - gain_ * x;
        lastOutput_ = v;
        slot = x + gain_ * v;
        advance();
    }

    float output() const { return lastOutput_; }

private:
    float lastOutput_ = 0.0f;

    friend class ReverbEngine;
};
