// Hallmere.clap beside the VST 2.x Hallmere.so of the same build, each loaded as a host
// loads it: process against processReplacing at blocks of 512 and 64 frames (counter
// s/frame per stereo frame), and what a block of 512 costs when it carries thirteen
// parameter events, one per parameter at times spread over the block, against none.
#include "bench/format_bench_common.h"
#include "effect/parameter_table.h"
#include "tests/clap/clap_host.h"

namespace {

using namespace formatbench;
using testhost::EventList;
using testhost::Instance;

// Arg: the block size.
void BM_ClapProcess(benchmark::State& state) {
    const auto frames = static_cast<std::uint32_t>(state.range(0));
    Instance plugin;
    TestBlock block;
    for (auto _ : state) {
        plugin.process(block.left.data(), block.right.data(), block.outLeft.data(), block.outRight.data(), frames);
        benchmark::DoNotOptimize(block.outLeft.data());
    }
    countPerFrame(state, frames);
}
BENCHMARK(BM_ClapProcess)->Arg(512)->Arg(64);

// Arg: the number of events in each block of 512, 0 or 13 (the time is per block). Blocks
// alternate between two sets of plain values, so every event is a real change.
void BM_ClapEventsInBlock(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Instance plugin;
    TestBlock block;
    EventList lists[2];
    for (int id = 0; id < count; ++id) {
        const auto time = static_cast<std::uint32_t>(id * kMaxBlock / count);
        lists[0].value(time, static_cast<testhost::Id>(id), physicalValue(id, 0.4f));
        lists[1].value(time, static_cast<testhost::Id>(id), physicalValue(id, 0.6f));
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
BENCHMARK(BM_ClapEventsInBlock)->Arg(0)->Arg(13);

}  // namespace

BENCHMARK_MAIN();
