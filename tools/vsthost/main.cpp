// vsthost: a command-line host for VST 2.x plug-ins, used to check our plug-in from the
// outside the way a sequencer sees it.
#include "tools/vsthost/commands.h"

#include <cstdio>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace vsthost {
namespace {

// Every command once: the usage line, the help text and what runs it.
struct Command {
    const char* name;
    const char* arguments;
    const char* help;
    int (*run)(const std::vector<std::string>& args);
};

const Command kCommands[] = {
    {"info", "PLUGIN [--trace]",
     "loads the plug-in, opens it and prints what it reports: identity, counts,\n"
     "flags, every parameter (name, label, display, value), every program name,\n"
     "a few capability answers and the editor size. One \"key: value\" per line;\n"
     "texts are quoted with \\t, \\n, \\\" and \\xHH escapes.\n",
     runInfo},
    {"render", "PLUGIN --out FILE [options]",
     "runs audio through the plug-in and writes a WAV file. On a terminal a long\n"
     "render shows its progress on standard error.\n"
     "  --in FILE            audio to process (its own rate and length)\n"
     "  --signal NAME        built-in stereo signal: impulse (default), noise, drums\n"
     "  --seconds S          length of the built-in signal (default 1)\n"
     "  --tail S             silence rendered after the input (default 0)\n"
     "  --rate HZ            sample rate (default 44100)\n"
     "  --block N            frames per process call (default 512)\n"
     "  --program P          program chosen before processing\n"
     "  --param I=V          parameter I set to V before processing (repeatable)\n"
     "  --replace            processReplacing (default when the plug-in can)\n"
     "  --accumulate         process, adding into zeroed output buffers\n"
     "  --format F           float (32-bit, default), pcm24, or pcm16 (with TPDF dither)\n"
     "  --quiet              no summary lines\n",
     runRender},
    {"stat", "FILE",
     "prints rate, channels, frames, peak and RMS per channel, the count of\n"
     "non-finite samples, the last non-zero frame and whether it is silent.\n",
     runStat},
    {"editor", "PLUGIN [options and steps]",
     "opens the plug-in's editor in a window of its own (Windows, or X11 with the\n"
     "XTest extension), idles it about 30 times a second while audio runs on another\n"
     "thread, and plays these steps in order, with real pointer and key input:\n"
     "  --click X,Y[,ctrl|shift|right]   a click at editor position X,Y\n"
     "  --drag X1,Y1,X2,Y2[,ctrl|shift|right]  press, move in steps, release\n"
     "  --key VK             effEditKeyDown and effEditKeyUp with that virtual key\n"
     "  --automate I=V       host automation of parameter I\n"
     "  --program P          effSetProgram\n"
     "  --audio NAME         switch the audio to a built-in signal or silence\n"
     "  --wait MS            let the editor idle\n"
     "  --screenshot FILE    the editor's pixels: PNG when FILE ends in .png (X11),\n"
     "                       otherwise a 24-bit BMP\n"
     "  --params             every parameter's value and display\n"
     "  --cycles N           close and reopen the editor N times, with object counts\n"
     "  --open-second, --close-second   a second instance with its editor\n"
     "  --class              whether the editor's window class is registered (Windows)\n"
     "                       or its windows exist (X11)\n"
     "  --counts             window-system objects the plug-in holds now\n"
     "  --signal NAME        audio at the start (default silence); --settle MS\n"
     "Each step prints the edit callbacks (begin, automate, end) it caused.\n",
     runEditor},
    {"torture", "PLUGIN [--seconds S] [--seed N]",
     "runs two instances at once on two audio threads for S seconds (default 10):\n"
     "block sizes from 1 to 8192, sample-rate, program and suspend/resume changes\n"
     "between blocks, every parameter automated per block from a third thread\n"
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
     "plays the plug-in as a host does for S seconds (default 3): automation and\n"
     "program changes on the audio thread, edits, editor idle and rate changes on\n"
     "another; counts allocations, locks, waits, sleeps and file calls made inside\n"
     "the audio entry points. Fails on any. On Linux the counter must be preloaded\n"
     "(LD_PRELOAD=<build>/tests/realtime/libhallmere_rtcheck.so).\n",
     runRtcheck},
};

// The help's lines, each indented under its command's name.
void printIndented(std::FILE* out, const char* name, const char* text) {
    bool lineStart = true;
    std::fprintf(out, "%-8s", name);
    for (const char* c = text; *c; ++c) {
        if (lineStart && c != text) std::fputs("        ", out);
        std::fputc(*c, out);
        lineStart = *c == '\n';
    }
}

}  // namespace

void printUsage(bool full) {
    std::FILE* out = full ? stdout : stderr;
    const char* lead = "usage:";
    for (const Command& command : kCommands) {
        std::fprintf(out, "%-6s vsthost %s %s\n", lead, command.name, command.arguments);
        lead = "";
    }
    std::fprintf(out, "       vsthost --help\n");
    if (!full) return;
    std::fprintf(out, "\n");
    for (const Command& command : kCommands) printIndented(out, command.name, command.help);
    std::fprintf(out,
                 "\n"
                 "--trace (info, render, editor) lists every call the plug-in made to the host, then the\n"
                 "number of calls per opcode.\n"
                 "Exit status: 0 success, 1 failure (e.g. the plug-in does not load, or an input file\n"
                 "is damaged), 2 bad usage.\n"
                 "\n"
                 "Examples:\n"
                 "  vsthost render Hallmere.so --program 2 --tail 4 --out hall.wav\n"
                 "      the impulse response of program 2 with four seconds of tail, as 32-bit float\n"
                 "  vsthost render Hallmere.so --in vocals.wav --param 2=0.4 --format pcm16 --out wet.wav\n"
                 "      vocals.wav through the reverb with parameter 2 at 0.4, as dithered 16-bit PCM\n"
                 "  vsthost stat wet.wav\n"
                 "      its peak and RMS per channel, and where the tail falls silent\n");
}

}  // namespace vsthost

int main(int argc, char** argv) {
    using namespace vsthost;
#if defined(_WIN32)
    // Plain line ends, so that both builds print the same bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(false);
        return kExitUsage;
    }
    const std::string name = args.front();
    args.erase(args.begin());
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(true);
        return kExitOk;
    }
    for (const Command& command : kCommands)
        if (name == command.name) return command.run(args);
    std::fprintf(stderr, "vsthost: unknown command '%s'\n", name.c_str());
    printUsage(false);
    return kExitUsage;
}
