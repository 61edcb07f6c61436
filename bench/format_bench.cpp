// The same build's two plug-in binaries side by side, each loaded as a host loads it: the
// VST 2.x Hallmere.so through processReplacing and the VST 3 bundle's module through
// process, at blocks of 512 and 64 frames (counter s/frame per stereo frame, e.g. "7.5n" is
// 7.5 ns). And what a VST 3 block of 512 costs when it carries thirteen changes, one per
// parameter at offsets spread over the block, against one that carries none.
#include "bench/format_bench_common.h"
#include "tests/vst3/vst3_host.h"

namespace {

using testhost::ChangeList;
using testhost::Instance;

using namespace formatbench;

// Arg: the block size.
void BM_Vst3Process(benchmark::State& state) {
    const auto frames = static_cast<std::int32_t>(state.range(0));
    Instance plugin;
    TestBlock block;
    for (auto _ : state) {
        plugin.process(block.left.data(), block.right.data(), block.outLeft.data(), block.outRight.data(), frames);
        benchmark::DoNotOptimize(block.outLeft.data());
    }
    countPerFrame(state, frames);
}
BENCHMARK(BM_Vst3Process)->Arg(512)->Arg(64);

// Arg: the number of changes in each block of 512, 0 or 13 (the time is per block). Blocks
// alternate between two sets of values, so every change is a real one.
void BM_Vst3ChangesInBlock(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Instance plugin;
    TestBlock block;
    ChangeList lists[2];
    for (int id = 0; id < count; ++id) {
        const std::int32_t offset = id * kMaxBlock / count;
        lists[0].add(static_cast<vst3::ParamID>(id), offset, 0.4);
        lists[1].add(static_cast<vst3::ParamID>(id), offset, 0.6);
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
BENCHMARK(BM_Vst3ChangesInBlock)->Arg(0)->Arg(13);

}  // namespace

BENCHMARK_MAIN();
