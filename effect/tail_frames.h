// The tail a host is told of, in frames: the core's seconds at the host's rate, rounded up
// and held below 2^31 (CLAP reads that as endless, VST 3 as a count).
#pragma once

#include <cmath>
#include <cstdint>

inline std::uint32_t tailFrames(double seconds, double sampleRate) {
    const double frames = std::ceil(seconds * sampleRate);
    if (!(frames < 2147483647.0)) return 2147483647u;  // NaN too
    return frames > 0.0 ? static_cast<std::uint32_t>(frames) : 0u;
}
