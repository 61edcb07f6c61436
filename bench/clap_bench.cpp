// Hallmere.clap beside the VST 2.x Hallmere.so of the same build, each loaded as a host
// loads it: process against processReplacing at blocks of 512 and 64 frames (counter
// s/frame per stereo frame), and what a block of 512 costs when it carries thirteen
// parameter events, one per parameter, against none.
#include "bench/format_bench_common.h"
#include "effect/parameter_table.h"
#include "tests/clap/clap_host.h"

namespace {

using namespace formatbench;
using testhost::EventList;
using testhost::Instance;

// Arg: the block size.
void BM_ClapProcess(benchmark::State& state) { measureProcess<Instance>(state); }
BENCHMARK(BM_ClapProcess)->Arg(512)->Arg(64);

// Args: see changesInBlockArguments (the time is per block of 512); the events carry
// plain values, as CLAP hosts send them.
void BM_ClapEventsInBlock(benchmark::State& state) {
    measureChangesInBlock<Instance, EventList>(state, [](EventList& list, int index, int offset, float value) {
        list.value(static_cast<std::uint32_t>(offset), static_cast<testhost::Id>(index), physicalValue(index, value));
    });
}
BENCHMARK(BM_ClapEventsInBlock)->Apply(changesInBlockArguments);

}  // namespace

BENCHMARK_MAIN();
