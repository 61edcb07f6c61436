// vsthost_harness: the host's stress and real-time checks, for the tests only. It loads
// plug-ins through the same instance layer as vsthost.
#include "tools/vsthost/command_table.h"
#include "tools/vsthost/commands.h"

#include <iterator>

namespace vsthost {
namespace {

const Command kCommands[] = {
    {"torture", "PLUGIN [--seconds S] [--seed N]",
     "runs two instances of a plug-in at once on two audio threads for S seconds\n"
     "(default 10): block sizes from 1 to 8192, sample-rate, program and suspend/resume\n"
     "changes between blocks, every parameter automated per block from a third thread\n"
     "(bad values included), broken input blocks, meter reads and editor cycles.\n"
     "Prints the counts; fails on any non-finite output sample.\n",
     runTorture},
    {"soak", "PLUGIN [--seconds S] [--max-peak P]",
     "renders S seconds of audio (default 3600) at 44.1 kHz through the longest,\n"
     "loudest settings with the gate on, fed noise bursts; prints the peak, the\n"
     "non-finite samples and the cost per frame at the start and at the end.\n"
     "Fails on any non-finite sample or a peak above P (default 1e6).\n",
     runSoak},
    {"rtcheck", "PLUGIN [--seconds S]",
     "plays the plug-in (VST 2.x, VST 3 or CLAP) as a host does for S seconds (default\n"
     "3): every parameter automated each block (VST 3, CLAP: at random offsets), program\n"
     "changes and bypass switches on the audio thread (CLAP: programs from the other),\n"
     "random block sizes; edits, editor idle and rate changes on another; counts\n"
     "allocations, locks, waits, sleeps and file calls made inside the audio entry\n"
     "points. Fails on any. On Linux the counter must be preloaded\n"
     "(LD_PRELOAD=<build>/tests/realtime/libhallmere_rtcheck.so).\n",
     runRtcheck},
};

const char kFooter[] =
    "\n"
    "Exit status: 0 success, 1 failure (a fault found, or the plug-in does not load), 2 bad\n"
    "usage.\n";

}  // namespace
}  // namespace vsthost

int main(int argc, char** argv) {
    using namespace vsthost;
    return runCommandLine({"vsthost_harness", kCommands, std::size(kCommands), kFooter}, argc, argv);
}
