// vsthost_harness soak: an hour of audio (by default) through the longest decay, the loudest output
// and the largest room, with the gate on, fed bursts of noise with silence between them.
// The reverb must never run away or go non-finite, and must cost no more per frame at the
// end than at the start.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/text.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace vsthost {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRate = 44100;
constexpr int kBlock = 512;
constexpr long kWindowFrames = 10L * kRate;  // cost measured over the first and the last 10 s

// Normalised settings: T60 7 s, Out +20 dB, room size 1, gate sensitivity 0.5 (threshold
// 0.5), the longest hold, dense and bright, early reflection at full level.
struct Setting {
    int index;
    float value;
};
const Setting kExtreme[] = {{1, 1.0f}, {2, 1.0f},  {3, 1.0f},  {4, 1.0f},  {6, 1.0f}, {7, 0.0f},
                            {9, 0.5f}, {10, 1.0f}, {11, 1.0f}, {12, 1.0f}, {8, 0.0f}};

// Half a second of full-scale noise every four seconds, alternating with silence, so the
// gate opens, holds and releases while the tail rings.
class Bursts {
public:
    float next(long frame) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const bool on = frame % (4L * kRate) < kRate / 2;
        return on ? static_cast<float>(static_cast<double>(state) / 2147483648.0 - 1.0) : 0.0f;
    }

private:
    std::uint32_t state = 0x536f616b;
};

}  // namespace

int runSoak(const std::vector<std::string>& args) {
    std::string path;
    double seconds = 3600.0;
    double maxPeak = 1e6;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--seconds" || arg == "--max-peak") && i + 1 < args.size()) {
            double& into = arg == "--seconds" ? seconds : maxPeak;
            if (!parseDouble(args[++i], into) || !(into > 0.0) || into > 1e9) {
                std::fprintf(stderr, "vsthost_harness soak: bad value for %s\n", arg.c_str());
                return kExitUsage;
            }
        } else if (!arg.empty() && arg[0] != '-' && path.empty()) {
            path = arg;
        } else {
            std::fprintf(stderr, "vsthost_harness soak: unexpected argument '%s'\n", arg.c_str());
            return kExitUsage;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "vsthost_harness soak: which plug-in?\n");
        return kExitUsage;
    }

    std::string error;
    std::unique_ptr<Instance> instance = openInstance(path, error);
    if (!instance) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!instance->canProcess(ProcessMode::Replace) || instance->inputs() < 2 || instance->outputs() < 2) {
        std::fprintf(stderr, "vsthost_harness soak: the plug-in is not a stereo effect with a replacing callback\n");
        return kExitFailed;
    }
    instance->activate(kRate, kBlock);
    for (const Setting& s : kExtreme) instance->setParameter(s.index, s.value);
    instance->startProcessing();

    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
        in[c].assign(kBlock, 0.0f);
        out[c].assign(kBlock, 0.0f);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};

    const long total = static_cast<long>(seconds * kRate + 0.5);
    const long lastWindow = total > kWindowFrames ? total - kWindowFrames : 0;
    Bursts bursts;
    double peak = 0.0;
    long peakFrame = 0;
    long nonFinite = 0;
    double startCost = 0.0, endCost = 0.0;  // seconds spent in the plug-in
    long startFrames = 0, endFrames = 0;
    double minutePeak = 0.0;
    const auto wall = Clock::now();

    for (long done = 0; done < total; done += kBlock) {
        const int frames = static_cast<int>(total - done < kBlock ? total - done : kBlock);
        for (int i = 0; i < frames; ++i) {
            in[0][i] = bursts.next(done + i);
            in[1][i] = bursts.next(done + i);
        }
        const auto before = Clock::now();
        instance->process(inputs, outputs, frames, ProcessMode::Replace);
        const double cost = std::chrono::duration<double>(Clock::now() - before).count();
        if (done < kWindowFrames) startCost += cost, startFrames += frames;
        if (done >= lastWindow) endCost += cost, endFrames += frames;
        for (int c = 0; c < 2; ++c) {
            for (int i = 0; i < frames; ++i) {
                const float x = out[c][i];
                if (!std::isfinite(x)) {
                    ++nonFinite;
                } else if (std::fabs(x) > peak) {
                    peak = std::fabs(x);
                    peakFrame = done + i;
                }
                minutePeak = std::fmax(minutePeak, std::isfinite(x) ? std::fabs(x) : 0.0);
            }
        }
        // A line per ten minutes of audio, so a long run shows it is alive.
        const long next = done + frames;
        if (next / (600L * kRate) != done / (600L * kRate)) {
            std::printf("progress: %ld min, peak since last %.3f\n", next / (60L * kRate), minutePeak);
            std::fflush(stdout);
            minutePeak = 0.0;
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - wall).count();
    instance->stopProcessing();
    instance->deactivate();
    instance.reset();

    const bool ok = nonFinite == 0 && peak <= maxPeak;
    std::printf("frames: %ld\n", total);
    std::printf("audio-seconds: %.1f\n", static_cast<double>(total) / kRate);
    std::printf("wall-seconds: %.1f\n", elapsed);
    std::printf("peak: %.6g\n", peak);
    std::printf("peak-dBFS: %.2f\n", peak > 0.0 ? 20.0 * std::log10(peak) : -999.0);
    std::printf("peak-at-seconds: %.3f\n", static_cast<double>(peakFrame) / kRate);
    std::printf("nonfinite: %ld\n", nonFinite);
    std::printf("ns-per-frame-start: %.2f\n", startFrames ? startCost * 1e9 / startFrames : 0.0);
    std::printf("ns-per-frame-end: %.2f\n", endFrames ? endCost * 1e9 / endFrames : 0.0);
    std::printf("result: %s\n", ok ? "ok" : "FAILED");
    return ok ? kExitOk : kExitFailed;
}

}  // namespace vsthost
