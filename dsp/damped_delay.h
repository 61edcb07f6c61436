// Delay line with a one-pole lowpass and a gain on the way in: the late lines and the
// early reflection. Reading before writing delays by the length, after writing by one less.
#pragma once

#include "dsp/delay_buffer.h"
#include "dsp/one_pole_filter.h"

class DampedDelay : public DelayBuffer {
public:
    DampedDelay() : DelayBuffer(1.0f) {}
    virtual ~DampedDelay() = default;

    void setGain(float k) { gain_ = k; }
    void setCutoff(float frequency, int32_t sampleRate)
    {
        coefficient_ = cutoffCoefficient(frequency, sampleRate);
    }
    float coefficient() const { return coefficient_; }

    void write(float x)
    {
        state_ = (1.0f - coefficient_) * x + coefficient_ * state_;
        buffer_[position_] = state_ * gain_;
        advance();
    }

    float read() const { return buffer_[position_]; }

private:
    float coefficient_ = 0.0f;
    float state_ = 0.0f;

    friend class ReverbEngine;
};
