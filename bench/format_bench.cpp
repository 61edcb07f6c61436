// The same build's two plug-in binaries side by side, each loaded as a host loads it: the
// VST 2.x Hallmere.so through processReplacing and the VST 3 bundle's module through
// process, at blocks of 512 and 64 frames (counter s/frame per stereo frame, e.g. "7.5n" is
// 7.5 ns). And what a VST 3 block of 512 costs when it carries thirteen changes, one per
// parameter, against one that carries none.
#include "bench/format_bench_common.h"
#include "tests/vst3/vst3_host.h"

namespace {

using testhost::ChangeList;
using testhost::Instance;

using namespace formatbench;

// Arg: the block size.
void BM_Vst3Process(benchmark::State& state) { measureProcess<Instance>(state); }
BENCHMARK(BM_Vst3Process)->Arg(512)->Arg(64);

// Args: see changesInBlockArguments (the time is per block of 512).
void BM_Vst3ChangesInBlock(benchmark::State& state) {
    measureChangesInBlock<Instance, ChangeList>(state, [](ChangeList& list, int index, int offset, float value) {
        list.add(static_cast<vst3::ParamID>(index), offset, value);
    });
}
BENCHMARK(BM_Vst3ChangesInBlock)->Apply(changesInBlockArguments);

}  // namespace

BENCHMARK_MAIN();
