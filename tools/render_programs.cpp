// Renders every factory program through the effect, as a host would drive it, and writes
// the output as raw 32-bit floats: the file every build must reproduce bit for bit
// (x86_64, aarch64 and the Windows builds are compared by tools/test.sh).
//   render_programs OUT.raw
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "effect/reverb_effect.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: render_programs OUT.raw\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    // Block sizes that take the one-frame steps, the four-frame ones and both.
    constexpr int kBlocks[] = {1, 3, 16, 37, 512, 64, 7};
    constexpr int kFrames = 44100;
    std::vector<float> left(kFrames), right(kFrames), outLeft(kFrames), outRight(kFrames);
    uint32_t state = 12345;
    for (int i = 0; i < kFrames; ++i) {
        state = state * 1664525u + 1013904223u;
        const float noise = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        // Bursts and near silence, so gates open and close and the tails decay.
        left[i] = (i / 5000) % 2 == 0 ? noise : noise * 1e-4f;
        right[i] = i % 9000 == 0 ? 1.0f : left[i] * 0.5f;
    }
    for (int program = 0; program < kProgramCount; ++program) {
        ReverbEffect effect(nullptr);
        effect.setSampleRate(program % 2 == 0 ? 44100.0f : 48000.0f);
        effect.setProgram(program);
        for (int done = 0, b = 0; done < kFrames; ++b) {
            const int n = std::min(kBlocks[b % 7], kFrames - done);
            float* inputs[2] = {left.data() + done, right.data() + done};
            float* outputs[2] = {outLeft.data() + done, outRight.data() + done};
            effect.processReplacing(inputs, outputs, n);
            done += n;
        }
        std::fwrite(outLeft.data(), sizeof(float), kFrames, out);
        std::fwrite(outRight.data(), sizeof(float), kFrames, out);
    }
    return std::fclose(out) == 0 ? 0 : 1;
}
