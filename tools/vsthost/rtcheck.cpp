// vsthost rtcheck: plays a plug-in as a busy host does and counts what its audio entry
// points do on the audio thread. The counting comes from a library preloaded into this
// process (tests/realtime); the audio thread tells it when a call into the plug-in starts
// and ends, so nothing the host or the plug-in's other threads do is counted.
//
// The audio thread: all parameters automated every block, getParameter, the meter, now
// and then a program change, then the block through processReplacing or process. Meanwhile
// the window thread edits parameters, keeps the editor open and idling (in a window when a
// display is there), and every so often suspends the plug-in, changes the sample rate and
// block size and resumes, while the audio thread waits outside the plug-in.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/plugin.h"
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
constexpr VstInt32 kMaxBlock = 1024;
const float kRates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};

struct Shared {
    std::atomic<bool> stop{false};
    std::atomic<bool> pauseWanted{false};
    std::atomic<bool> paused{false};
    std::atomic<long> blocks{0};
    std::atomic<long> programChanges{0};
    std::atomic<long> parameterChanges{0};
};

void audioThread(Plugin& plugin, RtCounter& counter, Shared& shared) {
    AEffect* effect = plugin.record();
    std::mt19937 random(1);
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) in[c].assign(kMaxBlock, 0.0f), out[c].assign(kMaxBlock, 0.0f);
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    const VstInt32 params = plugin.numParams();
    const VstInt32 programs = plugin.numPrograms();
    while (!shared.stop.load()) {
        if (shared.pauseWanted.load()) {  // suspended: the audio thread stays out of the plug-in
            shared.paused.store(true);
            while (shared.pauseWanted.load() && !shared.stop.load()) std::this_thread::yield();
            shared.paused.store(false);
            continue;
        }
        const VstInt32 frames = 1 + static_cast<VstInt32>(random() % kMaxBlock);
        for (VstInt32 i = 0; i < frames; ++i) in[0][i] = in[1][i] = (random() % 2001) / 1000.0f - 1.0f;
        const bool changeProgram = programs > 0 && random() % 50 == 0;
        {
            AudioCall call(counter);
            for (VstInt32 p = 0; p < params; ++p) {
                effect->setParameter(effect, p, (random() % 1001) / 1000.0f);
                (void)effect->getParameter(effect, p);
            }
            if (changeProgram) effect->dispatcher(effect, effSetProgram, 0, random() % programs, nullptr, 0.0f);
            if (effect->processReplacing && random() % 2)
                effect->processReplacing(effect, inputs, outputs, frames);
            else
                effect->process(effect, inputs, outputs, frames);
            effect->dispatcher(effect, effGetVu, 0, 0, nullptr, 0.0f);
        }
        shared.programChanges += changeProgram ? 1 : 0;
        shared.parameterChanges += params;
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
                std::fprintf(stderr, "vsthost rtcheck: bad value for --seconds: '%s'\n", args[i].c_str());
                return kExitUsage;
            }
        } else if (path.empty() && !args[i].empty() && args[i][0] != '-') {
            path = args[i];
        } else {
            std::fprintf(stderr, "vsthost rtcheck: unexpected argument '%s'\n", args[i].c_str());
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "vsthost rtcheck: which plug-in?\n");
        return kExitUsage;
    }
    RtCounter counter;
    std::string why;
    if (!counter.attach(path, why)) {
        std::fprintf(stderr, "vsthost rtcheck: %s\n", why.c_str());
        return kExitUsage;
    }

    Plugin plugin;
    std::string error;
    if (!plugin.load(path, error)) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    AEffect* effect = plugin.record();
    if (!effect->setParameter || !effect->getParameter || !effect->process || plugin.numInputs() < 2 ||
        plugin.numOutputs() < 2) {
        std::fprintf(stderr, "vsthost rtcheck: the plug-in is not a stereo effect with parameter entries\n");
        return kExitFailed;
    }
    plugin.dispatch(effOpen);
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    plugin.dispatch(effSetBlockSize, 0, kMaxBlock);
    plugin.dispatch(effMainsChanged, 0, 1);
    plugin.dispatch(effStartProcess);

    const bool hasEditor = (effect->flags & effFlagsHasEditor) != 0;
    HostWindow window;
    if (hasEditor) plugin.dispatch(effEditOpen, 0, 0, window.parent());

    Shared shared;
    std::thread audio(audioThread, std::ref(plugin), std::ref(counter), std::ref(shared));
    std::mt19937 random(2);
    long edits = 0, idles = 0, rateChanges = 0, editorCycles = 0;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
    auto nextEditorCycle = start + std::chrono::milliseconds(700);
    auto nextRateChange = start + std::chrono::milliseconds(300);
    for (auto now = start; now < deadline; now = Clock::now()) {
        // The musician at the panel: an edit, then the editor's idle.
        if (plugin.numParams() > 0) {
            plugin.setParameter(static_cast<VstInt32>(random() % plugin.numParams()), (random() % 1001) / 1000.0f);
            ++edits;
        }
        if (hasEditor) {
            window.pump();
            plugin.dispatch(effEditIdle);
            ++idles;
            if (now >= nextEditorCycle) {  // closed and opened again while the audio runs
                nextEditorCycle = now + std::chrono::milliseconds(700);
                plugin.dispatch(effEditClose);
                plugin.dispatch(effEditOpen, 0, 0, window.parent());
                ++editorCycles;
            }
        }
        if (now >= nextRateChange) {  // a new sample rate and block size while suspended
            nextRateChange = now + std::chrono::milliseconds(300);
            shared.pauseWanted.store(true);
            while (!shared.paused.load()) std::this_thread::yield();
            plugin.dispatch(effMainsChanged, 0, 0);
            plugin.dispatch(effSetSampleRate, 0, 0, nullptr, kRates[random() % 4]);
            plugin.dispatch(effSetBlockSize, 0, kMaxBlock);
            plugin.dispatch(effMainsChanged, 0, 1);
            shared.pauseWanted.store(false);
            ++rateChanges;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    shared.stop.store(true);
    audio.join();
    if (hasEditor) plugin.dispatch(effEditClose);
    plugin.dispatch(effStopProcess);
    plugin.dispatch(effMainsChanged, 0, 0);
    plugin.close();

    std::printf("seconds: %.1f\n", std::chrono::duration<double>(Clock::now() - start).count());
    std::printf("audio-blocks: %ld\n", shared.blocks.load());
    std::printf("audio-thread-parameter-changes: %ld\n", shared.parameterChanges.load());
    std::printf("program-changes: %ld\n", shared.programChanges.load());
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
