// vsthost: a command-line host for VST 2.x, VST 3 and CLAP plug-ins, used to check our
// plug-in from the outside the way a sequencer sees it. The test harnesses that stress it live in
// vsthost_harness (harness_main.cpp).
#include "tools/vsthost/command_table.h"
#include "tools/vsthost/commands.h"

#include <iterator>

namespace vsthost {
namespace {

const Command kCommands[] = {
    {"info", "PLUGIN [settings] [--trace]",
     "loads the plug-in, opens it and prints what it reports: format, identity, counts,\n"
     "every parameter (name, label, display, value), every program name and, for VST 2.x,\n"
     "flags, capability answers and the editor size. One \"key: value\" per line; texts\n"
     "are quoted with \\t, \\n, \\\" and \\xHH escapes. PLUGIN is a VST 3 plug-in when it is\n"
     "(or lies in) a folder or file ending in .vst3, a CLAP plug-in when it ends in .clap,\n"
     "else a VST 2.x library. The settings of render apply first: --program, --param,\n"
     "--param-text, --load-state; --save-state writes the state after them.\n",
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
     "  --program P          program chosen before processing (VST 3: the program-change\n"
     "                       parameter; CLAP: the plug-in's own preset P)\n"
     "  --param I=V          parameter I set to V, normalised, before processing (repeatable;\n"
     "                       CLAP: mapped onto the parameter's range)\n"
     "  --param-text I=TEXT  parameter I set from a text as its display reads (repeatable)\n"
     "  --load-state FILE    the plug-in's state loaded first\n"
     "  --save-state FILE    the plug-in's state saved at the end\n"
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
     "opens a plug-in's editor (a VST 2.x editor, a VST 3 view, a CLAP gui) in a window of\n"
     "its own (Windows, or X11 with the XTest extension), idles it about 30 times a second\n"
     "(a VST 3 view or CLAP gui under X11 from the timers it registers) while audio runs\n"
     "on another thread, and plays these steps in order, with real pointer and key input:\n"
     "  --click X,Y[,ctrl|shift|right]   a click at editor position X,Y\n"
     "  --drag X1,Y1,X2,Y2[,ctrl|shift|right]  press, move in steps, release\n"
     "  --key VK             effEditKeyDown and effEditKeyUp with that virtual key (VST 2.x)\n"
     "  --automate I=V       host automation of parameter I, on the window thread\n"
     "  --program P          a program change\n"
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
     "  --scale S            the editor at scale factor S (0 < S <= 4): a VST 3 view's\n"
     "                       content scale, a CLAP gui's set_scale; steps and screenshots\n"
     "                       are in the scaled window's pixels. Refused for VST 2.x\n"
     "Each step prints the edits the panel reported: begin, automate (VST 2.x) or\n"
     "perform (VST 3), end.\n",
     runEditor},
};

const char kFooter[] =
    "\n"
    "--trace (info, render, editor) lists every call a VST 2.x plug-in made to the host, then\n"
    "the number of calls per opcode.\n"
    "Exit status: 0 success, 1 failure (e.g. the plug-in does not load, or an input file\n"
    "is damaged), 2 bad usage.\n"
    "\n"
    "Examples:\n"
    "  vsthost render Hallmere.so --program 2 --tail 4 --out hall.wav\n"
    "      the impulse response of program 2 with four seconds of tail, as 32-bit float\n"
    "  vsthost render Hallmere.so --in vocals.wav --param 2=0.4 --format pcm16 --out wet.wav\n"
    "      vocals.wav through the reverb with parameter 2 at 0.4, as dithered 16-bit PCM\n"
    "  vsthost stat wet.wav\n"
    "      its peak and RMS per channel, and where the tail falls silent\n"
    "  vsthost render Hallmere.vst3 --param-text 2=\"3.5 s\" --save-state long.state --out long.wav\n"
    "      the VST 3 bundle with its decay set from a text, keeping the state it ends in\n";

}  // namespace
}  // namespace vsthost

int main(int argc, char** argv) {
    using namespace vsthost;
    return runCommandLine({"vsthost", kCommands, std::size(kCommands), kFooter}, argc, argv);
}
