// What the reverb does with input no sane host sends. Samples are passed on untouched up to
// kInputLimit; beyond it even the loudest settings could overflow the delay lines, and one
// infinity there turns into a NaN that circulates for good. So larger samples are held at
// the limit and non-finite ones become 0.
#pragma once

#include <cmath>

namespace inputguard {

constexpr float kInputLimit = 1e20f;

inline bool isClean(const float* samples, int frames) {
    bool clean = true;
    for (int i = 0; i < frames; ++i) clean &= std::fabs(samples[i]) <= kInputLimit;
    return clean;
}

inline float cleaned(float x) { return std::isfinite(x) ? std::fmin(std::fmax(x, -kInputLimit), kInputLimit) : 0.0f; }

inline void cleanInto(float* into, const float* samples, int frames) {
    for (int i = 0; i < frames; ++i) into[i] = cleaned(samples[i]);
}

}  // namespace inputguard
