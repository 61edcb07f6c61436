// Shared pieces of the hardening tests: a deterministic noise source, a stereo block the
// effect renders into, and measures of what came out.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "effect/reverb_effect.h"

namespace hardening {

// Uniform noise in [-amplitude, amplitude), the same sequence on every build.
class Noise {
public:
    explicit Noise(uint32_t seed) : state(seed ? seed : 1u) {}
    float next(float amplitude) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return amplitude * static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0);
    }

private:
    uint32_t state;
};

struct Stereo {
    explicit Stereo(int frames) : left(frames), right(frames), outLeft(frames), outRight(frames) {}
    int frames() const { return static_cast<int>(left.size()); }
    void fillNoise(Noise& noise, float amplitude) {
        for (std::size_t i = 0; i < left.size(); ++i) {
            left[i] = noise.next(amplitude);
            right[i] = noise.next(amplitude);
        }
    }
    std::vector<float> left, right, outLeft, outRight;
};

// What a stretch of output looked like.
struct Measure {
    long nonFinite = 0;
    double peak = 0.0;
    double sumSquares = 0.0;
    long samples = 0;
    double rms() const { return samples ? std::sqrt(sumSquares / samples) : 0.0; }
    void add(float x) {
        ++samples;
        if (!std::isfinite(x)) {
            ++nonFinite;
            return;
        }
        peak = std::fmax(peak, std::fabs(x));
        sumSquares += static_cast<double>(x) * x;
    }
};

// Renders `blocks` blocks of `frames` through the replacing callback, input from `noise`,
// and measures the output.
inline Measure renderNoise(ReverbEffect& effect, Noise& noise, int blocks, int frames, float amplitude) {
    Stereo block(frames);
    Measure measure;
    for (int b = 0; b < blocks; ++b) {
        block.fillNoise(noise, amplitude);
        float* in[2] = {block.left.data(), block.right.data()};
        float* out[2] = {block.outLeft.data(), block.outRight.data()};
        effect.processReplacing(in, out, frames);
        for (int i = 0; i < frames; ++i) {
            measure.add(block.outLeft[i]);
            measure.add(block.outRight[i]);
        }
    }
    return measure;
}

}  // namespace hardening
