// One-pole lowpass with unity gain at DC, and the cutoff formula shared with the damped delay.
#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/engine_constants.h"
#include "dsp/portable_math.h"

// c = exp(−2π f / sr), formed in double and kept as float.
inline float cutoffCoefficient(float frequency, int32_t sampleRate) {
    return static_cast<float>(
        portable::exp(-(static_cast<double>(kTwoPi) * frequency) / static_cast<double>(sampleRate)));
}

class OnePoleFilter {
public:
    OnePoleFilter() = default;
    OnePoleFilter(float coefficient, float state) : coefficient_(coefficient), state_(state) {}

    void setCutoff(float frequency, int32_t sampleRate) { coefficient_ = cutoffCoefficient(frequency, sampleRate); }
    void setCoefficient(float c) { coefficient_ = c; }
    float coefficient() const { return coefficient_; }

    // y = (1 − c) x + c y, given 1 − c and c: for one filter, or for lanes of filters.
    template <class T>
    static T next(T in, T back, T x, T y) {
        return in * x + back * y;
    }

    void process(float x) { state_ = next(1.0f - coefficient_, coefficient_, x, state_); }
    float output() const { return state_; }

private:
    float coefficient_ = 0.0f;
    float state_ = 0.0f;
};
