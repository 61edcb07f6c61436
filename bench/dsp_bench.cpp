// Cost of the reverb engine per stereo frame (counter s/frame, e.g. "7.5n" is 7.5 ns), for
// each factory program's settings.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/denormal_noise.h"
#include "dsp/reverb_engine.h"
#include "effect/reverb_effect.h"

namespace {

constexpr int kBlock = 512;

// The factory programs' normalised values: pan, out, T60, damping, density, early delay,
// high cut, low cut, dry, sensitivity, hold, room size, early level.
constexpr float kPrograms[8][13] = {
    {0.5f, 0.75f, 0.3f, 0.25f, 0.5f, 0.25f, 0.2f, 0.15f, 0, 1, 0, 0.5f, 0.3f},
    {0.5f, 0.75f, 0.3f, 0.25f, 1, 0.25f, 0.2f, 0.15f, 1, 1, 0, 0.5f, 0.3f},
    {0.5f, 0.75f, 0.5f, 0.5f, 1, 0.6f, 0.2f, 0.15f, 1, 1, 0, 1, 0.3f},
    {0.5f, 0.75f, 0.09f, 0.75f, 0.5f, 0.25f, 0.3f, 0.15f, 1, 1, 0, 0.3f, 0.5f},
    {0.5f, 0.75f, 1, 0.6f, 1, 0.6f, 0.3f, 0.1f, 1, 1, 0, 1, 0.3f},
    {0.5f, 0.75f, 0.21f, 0.5f, 0.95f, 0.25f, 0.4f, 0.18f, 1, 0.5f, 0.2f, 0.5f, 0.3f},
    {0.5f, 0.75f, 0.15f, 0.5f, 0.95f, 0.25f, 0.005f, 0, 0, 1, 0, 0.5f, 0.7f},
    {0.5f, 0.75f, 0.23f, 0, 0.5f, 0.15f, 0.2f, 0.15f, 1, 1, 0, 0.2f, 0.5f},
};

float lerp(double min, double max, float v) { return static_cast<float>((max - min) * v + min); }

// Settings that reshape the lines, handed over with nothing passed below the lengths in force.
void reshape(ReverbEngine& engine, const ReverbSettings& settings, bool gateReset = false) {
    int32_t capacity[kLineCount];
    for (int i = 0; i < kLineCount; ++i) capacity[i] = lineCapacity(i);
    engine.configure(settings, true, capacity, gateReset);
}

// The engine settings a program makes, with the physical values it carries.
void applyProgram(ReverbEngine& engine, const float* v) {
    const auto outGain = static_cast<float>(std::pow(10.0, lerp(-60, 20, v[1]) * 0.05));
    ReverbSettings s = engine.settings();
    s.pan = v[0];
    s.lateLevel = outGain;
    s.t60 = lerp(100, 7000, v[2]) * 0.001f;
    s.damping = lerp(1000, 10000, v[3]);
    s.density = v[4];
    s.earlyDelay = v[5];
    s.highCut = lerp(0.1f, 20000, v[6]);
    s.lowCut = lerp(0.1f, 1000, v[7]);
    s.dry = v[8] > 0.5f;
    s.threshold = thresholdFor(v[9]);
    s.holdTime = lerp(10, 500, v[10]) * 0.001f;
    s.roomSize = v[11];
    s.earlyLevel = v[12] * outGain;
    reshape(engine, s, true);
}

// Speech-like test signal: noise bursts with pauses, so a gate opens and closes.
std::vector<float> testSignal(int frames) {
    std::vector<float> signal(frames);
    uint32_t state = 12345;
    for (int i = 0; i < frames; ++i) {
        state = state * 1664525u + 1013904223u;
        const float noise = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        signal[i] = (i / 11025) % 2 == 0 ? noise : noise * 0.001f;
    }
    return signal;
}

// Seconds per stereo frame, as the counter "s/frame".
void countPerFrame(benchmark::State& state, double frames) {
    state.counters["s/frame"] = benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Program(benchmark::State& state) {
    auto engine = std::make_unique<ReverbEngine>();
    applyProgram(*engine, kPrograms[state.range(0)]);
    const std::vector<float> left = testSignal(44100), right = testSignal(44100 + 7);
    std::vector<float> outLeft(kBlock), outRight(kBlock);
    DenormalNoise noise;
    float peak = 0.0f;
    int start = 0;
    for (auto _ : state) {
        engine->processBlock(left.data() + start, right.data() + start, outLeft.data(), outRight.data(), kBlock,
                             noise.next(), false, peak);
        benchmark::DoNotOptimize(outLeft.data());
        start = (start + kBlock) % (44100 - kBlock);
    }
    state.SetItemsProcessed(state.iterations() * kBlock);
    countPerFrame(state, static_cast<double>(state.iterations()) * kBlock);
}
BENCHMARK(BM_Program)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

// The plug-in through processReplacing at the block sizes hosts use, program 0 (the
// cheapest): the gap between small blocks and 512 is the fixed cost of each call.
void BM_BlockSize(benchmark::State& state) {
    const int block = static_cast<int>(state.range(0));
    auto effect = std::make_unique<ReverbEffect>(nullptr);
    std::vector<float> left = testSignal(44100), right = testSignal(44100 + 7);
    std::vector<float> outLeft(block), outRight(block);
    float* outputs[2] = {outLeft.data(), outRight.data()};
    int start = 0;
    for (auto _ : state) {
        float* inputs[2] = {left.data() + start, right.data() + start};
        effect->processReplacing(inputs, outputs, block);
        benchmark::DoNotOptimize(outLeft.data());
        start = start + 2 * block < 44100 ? start + block : 0;
    }
    countPerFrame(state, static_cast<double>(state.iterations()) * block);
}
BENCHMARK(BM_BlockSize)->Arg(16)->Arg(32)->Arg(64)->Arg(512);

// One frame at a time through process(), as a per-frame caller would drive it.
void BM_PerFrame(benchmark::State& state) {
    auto engine = std::make_unique<ReverbEngine>();
    applyProgram(*engine, kPrograms[0]);
    const std::vector<float> signal = testSignal(44100);
    int i = 0;
    for (auto _ : state) {
        engine->process(signal[i], signal[i]);
        benchmark::DoNotOptimize(engine->outLeft);
        i = i + 1 < 44100 ? i + 1 : 0;
    }
    countPerFrame(state, static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PerFrame);

// A knob drag: one setting change, then the block that picks it up.
void BM_SettingChangePerBlock(benchmark::State& state) {
    auto engine = std::make_unique<ReverbEngine>();
    applyProgram(*engine, kPrograms[0]);
    const std::vector<float> signal = testSignal(44100);
    std::vector<float> out(kBlock);
    float peak = 0.0f;
    ReverbSettings s = engine->settings();
    s.t60 = 1.0f;
    for (auto _ : state) {
        s.t60 = s.t60 < 6.0f ? s.t60 + 0.01f : 1.0f;
        reshape(*engine, s);
        engine->processBlock(signal.data(), signal.data(), out.data(), out.data(), kBlock, 0.0f, false, peak);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_SettingChangePerBlock)->Unit(benchmark::kMicrosecond);

// The coefficients worked out again, with no block to take them over.
void BM_Reshape(benchmark::State& state) {
    auto engine = std::make_unique<ReverbEngine>();
    const ReverbSettings s = engine->settings();
    for (auto _ : state) reshape(*engine, s);
}
BENCHMARK(BM_Reshape);

// After a loud burst, 60 s of silence with only the noise offset: the recursive filters
// must not sink into denormals, so the cost stays that of a steady signal.
void BM_SilenceAfterBurst(benchmark::State& state) {
    auto engine = std::make_unique<ReverbEngine>();
    applyProgram(*engine, kPrograms[4]);  // longest decay
    const std::vector<float> burst = testSignal(44100);
    const std::vector<float> silence(kBlock, 0.0f);
    std::vector<float> out(kBlock);
    DenormalNoise noise;
    const bool withOffset = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        float peak = 0.0f;
        for (int i = 0; i + kBlock <= 44100; i += kBlock)
            engine->processBlock(burst.data() + i, burst.data() + i, out.data(), out.data(), kBlock, noise.next(),
                                 false, peak);
        state.ResumeTiming();
        for (int i = 0; i < 60 * 44100 / kBlock; ++i)
            engine->processBlock(silence.data(), silence.data(), out.data(), out.data(), kBlock,
                                 withOffset ? noise.next() : 0.0f, false, peak);
        benchmark::DoNotOptimize(out.data());
    }
    countPerFrame(state, static_cast<double>(state.iterations()) * (60 * 44100 / kBlock) * kBlock);
}
BENCHMARK(BM_SilenceAfterBurst)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EngineMemory(benchmark::State& state) {
    for (auto _ : state) {
        auto engine = std::make_unique<ReverbEngine>();
        benchmark::DoNotOptimize(engine.get());
    }
    int64_t samples = kEarlyCapacity;
    for (int k = 0; k < 4; ++k) samples += kLateCapacity[k] + kDiffuserCapacity[k];
    state.counters["object bytes"] = sizeof(ReverbEngine);
    state.counters["buffer bytes"] = static_cast<double>(samples * sizeof(float));
}
BENCHMARK(BM_EngineMemory)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
