// What the reverb does with input no sane host sends. Samples are passed on untouched up to
// kInputLimit; beyond it even the loudest settings could overflow the delay lines, and one
// infinity there turns into a NaN that circulates for good. So larger samples are held at
// the limit and non-finite ones become 0.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

namespace inputguard {

constexpr float kInputLimit = 1e20f;

// On the bit patterns of magnitudes larger means larger, and infinities and NaNs lie above
// every finite value: so one integer comparison a sample, which vectorises.
inline bool isClean(const float* samples, int frames) {
    constexpr uint32_t kMagnitude = 0x7FFFFFFF;
    uint32_t limit;
    std::memcpy(&limit, &kInputLimit, sizeof limit);
    int32_t beyond = 0;
    for (int i = 0; i < frames; ++i) {
        uint32_t bits;
        std::memcpy(&bits, samples + i, sizeof bits);
        beyond += static_cast<int32_t>((bits & kMagnitude) > limit);
    }
    return beyond == 0;
}

inline float cleaned(float x) { return std::isfinite(x) ? std::fmin(std::fmax(x, -kInputLimit), kInputLimit) : 0.0f; }

inline void cleanInto(float* into, const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) into[i] = cleaned(samples[i]);
}

}  // namespace inputguard
