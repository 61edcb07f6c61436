// vsthost_harness torture: everything a busy, careless host does to a plug-in at once. Two
// instances render on two audio threads with block sizes changing every call, sample-rate
// changes, suspend/resume cycles and program changes between blocks; a third thread
// automates every parameter once per block, bad values included; the main thread plays
// the user-interface thread with meter reads and editor open/idle/close cycles. Any
// non-finite output sample is a fault; a crash ends the process.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_window.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/text.h"

#include <atomic>
#include <chrono>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

namespace vsthost {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kInstances = 2;
constexpr int kMaxBlock = 8192;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const float kBadValues[] = {kNaN, kInf, -kInf, -1.0f, 2.0f, 1e30f, -1e30f};
const double kRates[] = {8000.0, 22050.0, 44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 1.0, 1e7, 44100.7};

class Random {
public:
    explicit Random(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint32_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state >> 16);
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }
    float unit() { return static_cast<float>(next() % 1000001u) / 1000000.0f; }

private:
    std::uint64_t state;
};

struct Counts {
    std::atomic<long> blocks{0};
    std::atomic<long> frames{0};
    std::atomic<long> parameterChanges{0};
    std::atomic<long> badParameterValues{0};
    std::atomic<long> programChanges{0};
    std::atomic<long> rateChanges{0};
    std::atomic<long> resumeCycles{0};
    std::atomic<long> badInputBlocks{0};
    std::atomic<long> editorCycles{0};
    std::atomic<long> meterReads{0};
    std::atomic<long> nonFinite{0};
};

// A real top-level window to open the editors in where there is a display, made once.
void* editorParent() {
    static HostWindow window;
    window.pump();
    return window.parent();
}

struct Tortured {
    std::unique_ptr<Instance> plugin;
    std::atomic<long> blocks{0};     // rendered so far
    std::atomic<long> automated{0};  // blocks the automation thread has answered
};

// One audio thread: blocks of ever-changing size, and between them the host's other
// requests, the way an engine reconfigures on the fly.
void audioThread(Tortured& instance, std::uint64_t seed, Clock::time_point deadline, Counts& counts) {
    Random random(seed);
    Instance& plugin = *instance.plugin;
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
        in[c].assign(kMaxBlock, 0.0f);
        out[c].assign(kMaxBlock, 0.0f);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    const int programs = plugin.programCount();
    const bool canReplace = plugin.canProcess(ProcessMode::Replace);
    const bool canAccumulate = plugin.canProcess(ProcessMode::Accumulate);

    while (Clock::now() < deadline) {
        // Automation for the block before last must have arrived: the changes for one block
        // land while the next one renders.
        while (instance.automated.load(std::memory_order_acquire) + 1 < instance.blocks.load() &&
               Clock::now() < deadline)
            std::this_thread::yield();
        const std::uint32_t action = random.below(100);
        if (action < 4) {
            plugin.deactivate();
            plugin.activate(kRates[random.below(10)], static_cast<int>(1 + random.below(kMaxBlock)));
            ++counts.resumeCycles;
            ++counts.rateChanges;
        } else if (action < 10) {
            plugin.changeRateCarelessly(kRates[random.below(10)], kMaxBlock);
            ++counts.rateChanges;
        } else if (action < 16 && plugin.programsOnAudioThread()) {
            // Now and then a program number out of range, which must be ignored.
            plugin.setProgram(static_cast<int>(random.below(programs + 2)) - 1);
            ++counts.programChanges;
        }

        // Block sizes from 1 to 8192, mostly small, each call different.
        const int frames =
            random.below(4) == 0 ? 1 + random.below(kMaxBlock) : 1 + random.below(random.below(1024) + 1);
        for (int i = 0; i < frames; ++i) {
            in[0][i] = random.unit() - 0.5f;
            in[1][i] = random.unit() - 0.5f;
        }
        if (random.below(50) == 0) {  // a broken block from upstream
            const float bad = kBadValues[random.below(7)];
            const int from = random.below(frames);
            for (int i = from; i < frames && i < from + 64; ++i) in[i & 1][i] = bad;
            ++counts.badInputBlocks;
        }
        const bool replacing = canReplace && (!canAccumulate || random.below(2) == 0);
        for (int c = 0; c < 2; ++c) std::fill(out[c].begin(), out[c].begin() + frames, 0.0f);
        plugin.process(inputs, outputs, frames, replacing ? ProcessMode::Replace : ProcessMode::Accumulate);
        long bad = 0;
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i) bad += std::isfinite(out[c][i]) ? 0 : 1;
        if (bad > 0 && counts.nonFinite.fetch_add(bad) == 0)
            std::fprintf(stderr, "vsthost_harness torture: fault: %ld non-finite output samples in a block of %d\n",
                         bad, static_cast<int>(frames));
        ++counts.blocks;
        counts.frames += frames;
        instance.blocks.fetch_add(1, std::memory_order_release);
    }
}

// Automation from its own thread: all parameters of every instance, once per block of
// each, with the odd value no host should send.
void automationThread(Tortured* instances, std::uint64_t seed, const std::atomic<bool>& stop, Counts& counts) {
    Random random(seed);
    while (!stop.load(std::memory_order_acquire)) {
        bool any = false;
        for (int k = 0; k < kInstances; ++k) {
            const long answered = instances[k].automated.load(std::memory_order_relaxed);
            if (answered >= instances[k].blocks.load(std::memory_order_acquire)) continue;
            any = true;
            Instance& plugin = *instances[k].plugin;
            for (int p = 0; p < plugin.parameterCount(); ++p) {
                if (!plugin.automatable(p)) continue;
                float value = random.unit();
                if (random.below(40) == 0) {
                    value = kBadValues[random.below(7)];
                    ++counts.badParameterValues;
                }
                plugin.editParameter(p, value);
                ++counts.parameterChanges;
            }
            instances[k].automated.store(answered + 1, std::memory_order_release);
        }
        if (!any) std::this_thread::yield();
    }
}

}  // namespace

int runTorture(const std::vector<std::string>& args) {
    std::string path;
    double seconds = 10.0;
    long seed = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--seconds" || arg == "--seed") && i + 1 < args.size()) {
            const std::string& text = args[++i];
            const bool ok = arg == "--seconds" ? parseDouble(text, seconds) && seconds > 0.0 && seconds <= 86400.0
                                               : parseLong(text, seed) && seed >= 0;
            if (!ok) {
                std::fprintf(stderr, "vsthost_harness torture: bad value for %s: '%s'\n", arg.c_str(), text.c_str());
                return kExitUsage;
            }
        } else if (!arg.empty() && arg[0] != '-' && path.empty()) {
            path = arg;
        } else {
            std::fprintf(stderr, "vsthost_harness torture: unexpected argument '%s'\n", arg.c_str());
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "vsthost_harness torture: which plug-in?\n");
        return kExitUsage;
    }

    std::unique_ptr<Tortured[]> instances(new Tortured[kInstances]);
    for (int k = 0; k < kInstances; ++k) {
        std::string error;
        instances[k].plugin = openInstance(path, error);
        if (!instances[k].plugin) {
            std::fprintf(stderr, "vsthost: %s\n", error.c_str());
            return kExitFailed;
        }
        Instance& plugin = *instances[k].plugin;
        if (plugin.outputs() < 2 || plugin.inputs() < 2 ||
            (!plugin.canProcess(ProcessMode::Replace) && !plugin.canProcess(ProcessMode::Accumulate))) {
            std::fprintf(stderr, "vsthost_harness torture: the plug-in is not a stereo effect\n");
            return kExitFailed;
        }
        plugin.activate(44100.0, kMaxBlock);
        plugin.startProcessing();
    }
    bool hasEditor = true;  // until an open fails

    Counts counts;
    std::atomic<bool> stop{false};
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::microseconds(static_cast<long long>(seconds * 1e6));
    std::vector<std::thread> threads;
    for (int k = 0; k < kInstances; ++k)
        threads.emplace_back(audioThread, std::ref(instances[k]), static_cast<std::uint64_t>(seed) * 2 + k, deadline,
                             std::ref(counts));
    std::thread automation(automationThread, instances.get(), static_cast<std::uint64_t>(seed) + 1000, std::cref(stop),
                           std::ref(counts));

    // The user-interface thread: meters, editor cycles when the plug-in has an editor, and
    // the program changes of formats that take them only here.
    Random random(static_cast<std::uint64_t>(seed) + 2000);
    while (Clock::now() < deadline) {
        for (int k = 0; k < kInstances; ++k) {
            Instance& plugin = *instances[k].plugin;
            plugin.readMeter();
            ++counts.meterReads;
            if (!plugin.programsOnAudioThread()) {
                plugin.setProgram(static_cast<int>(random.below(plugin.programCount() + 2)) - 1);
                ++counts.programChanges;
            }
            hasEditor = hasEditor && plugin.openEditor(editorParent());
            if (hasEditor) {
                for (int idle = 0; idle < 3; ++idle) plugin.idleEditor();
                plugin.closeEditor();
                ++counts.editorCycles;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (std::thread& thread : threads) thread.join();
    stop.store(true, std::memory_order_release);
    automation.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    for (int k = 0; k < kInstances; ++k) {
        instances[k].plugin->stopProcessing();
        instances[k].plugin->deactivate();
        instances[k].plugin.reset();
    }

    const long nonFinite = counts.nonFinite.load();
    std::printf("instances: %d\n", kInstances);
    std::printf("seconds: %.1f\n", elapsed);
    std::printf("seed: %ld\n", seed);
    std::printf("blocks: %ld\n", counts.blocks.load());
    std::printf("frames: %ld\n", counts.frames.load());
    std::printf("parameter-changes: %ld\n", counts.parameterChanges.load());
    std::printf("bad-parameter-values: %ld\n", counts.badParameterValues.load());
    std::printf("program-changes: %ld\n", counts.programChanges.load());
    std::printf("rate-changes: %ld\n", counts.rateChanges.load());
    std::printf("resume-cycles: %ld\n", counts.resumeCycles.load());
    std::printf("bad-input-blocks: %ld\n", counts.badInputBlocks.load());
    std::printf("meter-reads: %ld\n", counts.meterReads.load());
    if (hasEditor)
        std::printf("editor-cycles: %ld (%s)\n", counts.editorCycles.load(),
                    editorParent() != nullptr ? "in a window" : "without a parent window");
    else
        std::printf("editor-cycles: skipped (no editor)\n");
    std::printf("nonfinite: %ld\n", nonFinite);
    std::printf("result: %s\n", nonFinite == 0 ? "ok" : "FAILED");
    return nonFinite == 0 ? kExitOk : kExitFailed;
}

}  // namespace vsthost
