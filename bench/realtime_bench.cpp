// What the real-time contract costs the audio thread, through the format-free core:
// - a block that takes over a parameter change against one that does not (ns per block);
// - setParameter called on the audio thread while another thread keeps editing: median,
//   99.9th percentile and maximum over a million calls.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "effect/reverb_core.h"

namespace {

constexpr int kBlock = 512;

// Arg 0: a plain block; arg 1: a T60 change taken over first; arg 2: all thirteen changed.
void BM_BlockWithChanges(benchmark::State& state) {
    ReverbCore core;
    std::vector<float> in(kBlock, 0.0f), outLeft(kBlock), outRight(kBlock);
    for (int i = 0; i < kBlock; ++i) in[i] = static_cast<float>(i % 97) / 97.0f - 0.5f;
    core.render(in.data(), in.data(), outLeft.data(), outRight.data(), kBlock, false);
    float value = 0.3f;
    for (auto _ : state) {
        value = value < 0.9f ? value + 0.001f : 0.3f;
        if (state.range(0) == 1) core.setParameter(kT60, value);
        for (int index = 0; state.range(0) == 2 && index < kParameterCount; ++index) core.setParameter(index, value);
        core.render(in.data(), in.data(), outLeft.data(), outRight.data(), kBlock, false);
        benchmark::DoNotOptimize(outLeft.data());
    }
}
BENCHMARK(BM_BlockWithChanges)->Arg(0)->Arg(1)->Arg(2);

void BM_SetParameterWhileAnotherThreadEdits(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    constexpr int kCalls = 1000000;
    ReverbCore core;
    std::atomic<bool> stop{false};
    std::thread window([&] {  // with arg 0 it only waits, for the machine's own jitter
        unsigned n = 0;
        while (state.range(0) == 0 && !stop.load(std::memory_order_relaxed)) std::this_thread::yield();
        while (!stop.load(std::memory_order_relaxed)) {
            core.setParameter(static_cast<int>(n % kParameterCount), (n % 1000) / 1000.0f);
            if (++n % 4096 == 0) core.setProgram(static_cast<int>(n / 4096 % kProgramCount));
        }
    });
    std::vector<double> nanoseconds(kCalls);
    for (auto _ : state) {
        for (int call = 0; call < kCalls; ++call) {
            const auto start = Clock::now();
            core.setParameter(call % kParameterCount, (call % 997) / 997.0f);
            nanoseconds[call] = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
        }
    }
    stop.store(true);
    window.join();
    std::sort(nanoseconds.begin(), nanoseconds.end());
    state.counters["median_ns"] = nanoseconds[kCalls / 2];
    state.counters["p99.9_ns"] = nanoseconds[kCalls - kCalls / 1000];
    state.counters["max_ns"] = nanoseconds.back();
}
BENCHMARK(BM_SetParameterWhileAnotherThreadEdits)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
