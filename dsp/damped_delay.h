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
    void setCutoff(float frequency, int32_t sampleRate) { damping_.setCutoff(frequency, sampleRate); }
    float coefficient() const { return damping_.coefficient(); }

    // The lowpass on the way in, for running frames on the slots directly, and back.
    const OnePoleFilter& damping() const { return damping_; }
    void setDamping(const OnePoleFilter& filter) { damping_ = filter; }

    void write(float x) {
        damping_.process(x);
        buffer_[position_] = damping_.output() * gain_;
        advance();
    }

    float read() const { return buffer_[position_]; }

private:
    OnePoleFilter damping_;
};
