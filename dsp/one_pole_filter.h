// One-pole lowpass with unity gain at DC, and the cutoff formula shared with the damped delay.
#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/engine_constants.h"
#include "dsp/portable_math.h"

// c = exp(−2π f / sr), formed in double and kept as float.
inline float cutoffCoefficient(float frequency, int32_t sampleRate)
{
    return static_cast<float>(
        portable::exp(-(static_cast<double>(kTwoPi) * frequency) / static_cast<double>(sampleRate)));
}

class OnePoleFilter {
public:
    virtual ~OnePoleFilter() = default;

    void setCutoff(float frequency, int32_t sampleRate)
    {
        coefficient_ = cutoffCoefficient(frequency, sampleRate);
    }
    float coefficient() const { return coefficient_; }

    void process(float x) { state_ = (1.0f - coefficient_) * x + coefficient_ * state_; }
    float output() const { return state_; }

private:
    float coefficient_ = 0.0f;
    float state_ = 0.0f;

    friend class ReverbEngine;
};
