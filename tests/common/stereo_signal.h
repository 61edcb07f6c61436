// The plug-in formats' render tests share one input and one comparison: noise bursts with
// silence between them, so every block has both input and tail, compared bit for bit.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace testsignal {

struct Stereo {
    std::vector<float> left, right;
    explicit Stereo(std::size_t frames) : left(frames), right(frames) {}
};

inline Stereo testSignal(std::size_t frames) {
    Stereo s(frames);
    std::uint32_t state = 12345;
    for (std::size_t i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        const float noise = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        const bool burst = (i / 3000) % 3 == 0;
        s.left[i] = burst ? noise : 0.0f;
        s.right[i] = burst ? -0.5f * noise : 0.0f;
    }
    return s;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

inline bool sameBits(const Stereo& a, const Stereo& b) {
    return sameBits(a.left, b.left) && sameBits(a.right, b.right);
}

}  // namespace testsignal
