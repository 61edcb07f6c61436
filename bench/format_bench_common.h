// What the format benchmarks share: the test block, the per-frame counter and the VST 2.x
// Hallmere.so of the same build through processReplacing, the reference each format's
// process is measured against in the same run. Included by one file per benchmark program.
#pragma once

#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "effect/reverb_program.h"
#include "host/aeffect.h"

namespace formatbench {

constexpr int kMaxBlock = 512;
constexpr double kRate = 48000.0;

// Noise bursts with pauses, so the gate opens and closes as with real material.
struct TestBlock {
    std::vector<float> left, right, outLeft, outRight;
    TestBlock() : left(kMaxBlock), right(kMaxBlock), outLeft(kMaxBlock), outRight(kMaxBlock) {
        std::uint32_t state = 12345;
        for (int i = 0; i < kMaxBlock; ++i) {
            state = state * 1664525u + 1013904223u;
            left[i] = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
            right[i] = i % 128 < 64 ? -left[i] : left[i] * 0.5f;
        }
    }
};

void countPerFrame(benchmark::State& state, std::int64_t frames) {
    state.counters["s/frame"] = benchmark::Counter(static_cast<double>(state.iterations() * frames),
                                                   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

VstIntPtr VSTCALLBACK hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

// The VST 2.x effect, opened and resumed at 48 kHz as a host does before its first block.
AEffect* openVst2() {
    static void* library = dlopen(HALLMERE_VST2_MODULE, RTLD_NOW | RTLD_LOCAL);
    auto entry = library ? reinterpret_cast<AEffect* (*)(audioMasterCallback)>(dlsym(library, "VSTPluginMain"))
                         : nullptr;
    AEffect* effect = entry ? entry(hostCallback) : nullptr;
    if (effect == nullptr) {
        std::fprintf(stderr, "cannot load %s: %s\n", HALLMERE_VST2_MODULE, library ? "no effect" : dlerror());
        std::abort();
    }
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    effect->dispatcher(effect, effSetBlockSize, 0, kMaxBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

// Arg: the block size.
void BM_Vst2ProcessReplacing(benchmark::State& state) {
    const auto frames = static_cast<VstInt32>(state.range(0));
    AEffect* effect = openVst2();
    TestBlock block;
    float* in[2] = {block.left.data(), block.right.data()};
    float* out[2] = {block.outLeft.data(), block.outRight.data()};
    for (auto _ : state) {
        effect->processReplacing(effect, in, out, frames);
        benchmark::DoNotOptimize(block.outLeft.data());
    }
    countPerFrame(state, frames);
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
BENCHMARK(BM_Vst2ProcessReplacing)->Arg(512)->Arg(64);

// A format's process at the block size the benchmark's argument gives.
template <class Plugin>
void measureProcess(benchmark::State& state) {
    const auto frames = static_cast<int>(state.range(0));
    Plugin plugin;
    TestBlock block;
    for (auto _ : state) {
        plugin.process(block.left.data(), block.right.data(), block.outLeft.data(), block.outRight.data(), frames);
        benchmark::DoNotOptimize(block.outLeft.data());
    }
    countPerFrame(state, frames);
}

// Blocks of kMaxBlock alternating between two lists of changes, or with none when the first
// argument, the number of changes, is 0. The lists move each parameter between program 0's
// value and one a hundredth away, as a hand on the controls does: every change is a real
// one, yet the reverb sounds as it does without them, so the difference is what the changes
// cost. With the second argument 1 the changes are spread over the block, each at an offset
// of its own (the worst case: every one splits the block); with 0 they all fall at the
// middle of it, as when a person moves several controls at once. `fill` puts change
// `index` at `offset` with the normalised value given into a list.
template <class Plugin, class Changes, class Fill>
void measureChangesInBlock(benchmark::State& state, Fill fill) {
    const int count = static_cast<int>(state.range(0));
    const bool spread = state.range(1) != 0;
    Plugin plugin;
    TestBlock block;
    Changes lists[2];
    for (int index = 0; index < count; ++index) {
        const int offset = spread ? index * kMaxBlock / count : kMaxBlock / 2;
        const float value = factoryPrograms[0].values[index];
        fill(lists[0], index, offset, value);
        fill(lists[1], index, offset, value < 0.5f ? value + 0.01f : value - 0.01f);
    }
    int next = 0;
    for (auto _ : state) {
        plugin.process(block.left.data(), block.right.data(), block.outLeft.data(), block.outRight.data(), kMaxBlock,
                       count > 0 ? &lists[next] : nullptr);
        next ^= 1;
        benchmark::DoNotOptimize(block.outLeft.data());
    }
    countPerFrame(state, kMaxBlock);
}

// Arguments for measureChangesInBlock: none, 13 at one offset, 13 at offsets of their own.
inline void changesInBlockArguments(benchmark::internal::Benchmark* b) {
    b->ArgNames({"changes", "spread"})->Args({0, 0})->Args({13, 0})->Args({13, 1});
}

}  // namespace formatbench
