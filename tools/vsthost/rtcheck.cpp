// vsthost_harness rtcheck: plays a plug-in as a busy host does and counts what its audio
// entry points do on the audio thread. The counting comes from a library preloaded into
// this process (tests/realtime); the audio thread tells it when a call into the plug-in
// starts and ends, so nothing the host or the plug-in's other threads do is counted. The
// host's own work inside that window (filling a VST 3 block's parameter changes) writes
// into fixed arrays only.
//
// The audio thread: all parameters automated every block (at random offsets where the
// format has them), now and then a program change and a bypass switch, then the block,
// then the meter. Meanwhile the window thread edits parameters, keeps the editor open and
// idling (in a window when a display is there), changes programs where the format takes
// them from there only (CLAP), and every so often suspends the plug-in, changes the sample
// rate and resumes, while the audio thread waits outside the plug-in.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/rt_counter.h"
#include "tools/vsthost/text.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace vsthost {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kMaxBlock = 1024;
const double kRates[] = {44100.0, 48000.0, 96000.0, 22050.0};

struct Shared {
    std::atomic<bool> stop{false};
    std::atomic<bool> pauseWanted{false};
    std::atomic<bool> paused{false};
    std::atomic<long> blocks{0};
    std::atomic<long> programChanges{0};
    std::atomic<long> bypassSwitches{0};
    std::atomic<long> parameterChanges{0};
};

double unitValue(std::mt19937& random) { return (random() % 1001) / 1000.0; }

void audioThread(Instance& instance, RtCounter& counter, Shared& shared) {
    std::mt19937 random(1);
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) in[c].assign(kMaxBlock, 0.0f), out[c].assign(kMaxBlock, 0.0f);
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    std::vector<int> automated;
    for (int p = 0; p < instance.parameterCount(); ++p)
        if (instance.automatable(p)) automated.push_back(p);
    const int programs = instance.programsOnAudioThread() ? instance.programCount() : 0;
    const bool bothModes = instance.canProcess(ProcessMode::Replace) && instance.canProcess(ProcessMode::Accumulate);
    const ProcessMode onlyMode =
        instance.canProcess(ProcessMode::Replace) ? ProcessMode::Replace : ProcessMode::Accumulate;
    bool bypass = false;
    while (!shared.stop.load()) {
        if (shared.pauseWanted.load()) {  // suspended: the audio thread stays out of the plug-in
            shared.paused.store(true);
            while (shared.pauseWanted.load() && !shared.stop.load()) std::this_thread::yield();
            shared.paused.store(false);
            continue;
        }
        const int frames = 1 + static_cast<int>(random() % kMaxBlock);
        for (int i = 0; i < frames; ++i) in[0][i] = in[1][i] = (random() % 2001) / 1000.0f - 1.0f;
        const bool changeProgram = programs > 0 && random() % 50 == 0;
        const bool switchBypass = random() % 50 == 0;
        const ProcessMode mode = bothModes ? (random() % 2 ? ProcessMode::Replace : ProcessMode::Accumulate) : onlyMode;
        bool switched = false;
        {
            AudioCall call(counter);
            for (int p : automated) instance.automate(p, static_cast<int>(random() % frames), unitValue(random));
            if (changeProgram)
                instance.automateProgram(static_cast<int>(random() % programs), static_cast<int>(random() % frames));
            if (switchBypass) switched = instance.automateBypass(!bypass, static_cast<int>(random() % frames));
            instance.process(inputs, outputs, frames, mode);
            instance.readMeter();
        }
        bypass = bypass != switched;
        shared.programChanges += changeProgram ? 1 : 0;
        shared.bypassSwitches += switched ? 1 : 0;
        shared.parameterChanges += static_cast<long>(automated.size());
        ++shared.blocks;
    }
}

}  // namespace

int runRtcheck(const std::vector<std::string>& args) {
    std::string path;
    double seconds = 3.0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seconds" && i + 1 < args.size()) {
            if (!parseDouble(args[++i], seconds) || seconds <= 0.0 || seconds > 3600.0) {
                std::fprintf(stderr, "vsthost_harness rtcheck: bad value for --seconds: '%s'\n", args[i].c_str());
                return kExitUsage;
            }
        } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            std::fprintf(stderr, "vsthost_harness rtcheck: unexpected argument '%s'\n", args[i].c_str());
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "vsthost_harness rtcheck: which plug-in?\n");
        return kExitUsage;
    }
    RtCounter counter;
    std::string why;
    if (!counter.attach(moduleFile(path), why)) {
        std::fprintf(stderr, "vsthost_harness rtcheck: %s\n", why.c_str());
        return kExitUsage;
    }

    std::string error;
    std::unique_ptr<Instance> loaded = openInstance(path, error);
    if (!loaded) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    Instance& instance = *loaded;
    if (instance.inputs() < 2 || instance.outputs() < 2) {
        std::fprintf(stderr, "vsthost_harness rtcheck: the plug-in is not a stereo effect\n");
        return kExitFailed;
    }
    instance.activate(44100.0, kMaxBlock);
    instance.startProcessing();

    HostWindow window;
    const bool hasEditor = instance.openEditor(window.parent());

    Shared shared;
    std::thread audio(audioThread, std::ref(instance), std::ref(counter), std::ref(shared));
    std::mt19937 random(2);
    long edits = 0, idles = 0, rateChanges = 0, editorCycles = 0;
    const int windowPrograms = instance.programsOnAudioThread() ? 0 : instance.programCount();
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
    auto nextEditorCycle = start + std::chrono::milliseconds(700);
    auto nextRateChange = start + std::chrono::milliseconds(300);
    auto nextProgramChange = start + std::chrono::milliseconds(20);
    for (auto now = start; now < deadline; now = Clock::now()) {
        // The musician at the panel: an edit, then the editor's idle.
        if (instance.parameterCount() > 0) {
            instance.editParameter(static_cast<int>(random() % instance.parameterCount()), unitValue(random));
            ++edits;
        }
        if (hasEditor) {
            window.pump();
            instance.idleEditor();
            ++idles;
            if (now >= nextEditorCycle) {  // closed and opened again while the audio runs
                nextEditorCycle = now + std::chrono::milliseconds(700);
                instance.closeEditor();
                instance.openEditor(window.parent());
                ++editorCycles;
            }
        }
        if (windowPrograms > 0 && now >= nextProgramChange) {  // while the audio runs
            nextProgramChange = now + std::chrono::milliseconds(20);
            instance.setProgram(static_cast<int>(random() % windowPrograms));
            ++shared.programChanges;
        }
        if (now >= nextRateChange) {  // a new sample rate while suspended
            nextRateChange = now + std::chrono::milliseconds(300);
            shared.pauseWanted.store(true);
            while (!shared.paused.load()) std::this_thread::yield();
            instance.stopProcessing();
            instance.deactivate();
            instance.activate(kRates[random() % 4], kMaxBlock);
            instance.startProcessing();
            shared.pauseWanted.store(false);
            ++rateChanges;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    shared.stop.store(true);
    audio.join();
    if (hasEditor) instance.closeEditor();
    instance.stopProcessing();
    instance.deactivate();
    const char* format = instance.format();
    loaded.reset();

    std::printf("format: %s\n", format);
    std::printf("seconds: %.1f\n", std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("audio-blocks: %ld\n", shared.blocks.load());
    std::printf("audio-thread-parameter-changes: %ld\n", shared.parameterChanges.load());
    std::printf("program-changes: %ld%s\n", shared.programChanges.load(),
                windowPrograms > 0 ? " (from the window thread)" : "");
    std::printf("bypass-switches: %ld\n", shared.bypassSwitches.load());
    std::printf("window-edits: %ld\n", edits);
    std::printf("editor: %s, %ld idles, %ld close/open cycles\n",
                !hasEditor        ? "none"
                : window.parent() ? "in a window"
                                  : "without a window",
                idles, editorCycles);
    std::printf("rate-changes-while-suspended: %ld\n", rateChanges);
    long total = 0;
    for (int kind = 0; kind < kRtKindCount; ++kind) {
        const long n = counter.count(kind);
        total += n;
        std::printf("audio-thread-%s: %ld\n", kRtKindNames[kind], n);
    }
    if (total > 0) std::printf("first: %s\n", counter.first() ? counter.first() : "?");
    std::printf("result: %s\n", total == 0 && shared.blocks.load() > 0 ? "ok" : "FAILED");
    return total == 0 && shared.blocks.load() > 0 ? kExitOk : kExitFailed;
}

}  // namespace vsthost
