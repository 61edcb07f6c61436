// The core's audio call at the Web Audio render quantum (128 frames, 48 kHz, the default
// program), timed with the standard clock: the native figure that the browser's worklet is
// set beside (bench/web_bench.mjs). Build it in the portable tree for the plain lanes the
// WebAssembly build uses.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "effect/reverb_core.h"

int main() {
    constexpr int kQuantum = 128;
    constexpr int kQuantaPerRun = 40000;
    ReverbCore core;
    core.setSampleRate(48000.0f);
    core.resume();
    std::vector<float> left(kQuantum), right(kQuantum), outLeft(kQuantum), outRight(kQuantum);
    unsigned state = 1;
    for (int i = 0; i < kQuantum; ++i) {
        state = state * 1664525u + 1013904223u;
        left[i] = static_cast<float>(static_cast<int>(state >> 9)) * 1e-7f;
        right[i] = left[i] * 0.5f;
    }
    auto run = [&](int quanta) {
        for (int q = 0; q < quanta; ++q)
            core.render(left.data(), right.data(), outLeft.data(), outRight.data(), kQuantum, false);
    };
    run(4000);  // fill the lines
    double best = 1e30;
    for (int repetition = 0; repetition < 5; ++repetition) {
        const auto start = std::chrono::steady_clock::now();
        run(kQuantaPerRun);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        best = std::min(best, elapsed.count());
    }
    std::printf("frames-per-second: %.0f\npeak: %g\n", kQuantaPerRun * double(kQuantum) / best, core.takePeak());
    return 0;
}
