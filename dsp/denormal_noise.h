// Tiny offset added to the input so the recursive filters never decay into denormals.
#pragma once

#include <cstdint>

#include "dsp/engine_constants.h"

class DenormalNoise {
public:
    virtual ~DenormalNoise() = default;

    // One of 16 values from −7.5e-8 to +7.5e-8, never 0.
    float next() {
        // xorshift32; its top four bits are evenly spread, unlike an LCG's low bits.
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        const auto r = static_cast<float>(state_ >> 28);
        return (r - kNoiseCentre) * kNoiseStep;
    }

private:
    uint32_t state_ = 0x9E3779B9u;  // fixed seed: the same input gives the same output
};
