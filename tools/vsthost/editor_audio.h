// What both editor sessions share: the audio thread that keeps the plug-in processing
// while its editor is open, and the session's progress messages.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/vsthost/instance.h"
#include "tools/vsthost/signals.h"

namespace vsthost {

// Prints a progress line at once, so a test reading the output sees it even if the
// session dies afterwards.
void say(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The instance's replacing process at the pace of real time, 44.1 kHz in blocks of 512, looping a test
// signal (or silence) that can be swapped while it runs.
class AudioThread {
public:
    static constexpr int kRate = 44100;
    static constexpr int kBlock = 512;
    static constexpr double kLoopSeconds = 4.0;

    explicit AudioThread(Instance& instance) : instance_(instance) {}
    ~AudioThread() { stop(); }

    bool setSignal(const std::string& name) {
        auto audio = std::make_shared<AudioData>();
        if (name != "silence") {
            if (!makeSignal(name, kRate, static_cast<long>(kLoopSeconds * kRate), *audio)) return false;
        }
        std::lock_guard<std::mutex> guard(lock_);
        signal_ = audio;
        return true;
    }

    void start() {
        running_ = true;
        thread_ = std::thread([this] { run(); });
    }

    void stop() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }

    long blocks() const { return blocks_; }

private:
    void run() {
        std::vector<float> in[2], out[2];
        for (int c = 0; c < 2; ++c) {
            in[c].assign(kBlock, 0.0f);
            out[c].assign(kBlock, 0.0f);
        }
        float* inputs[2] = {in[0].data(), in[1].data()};
        float* outputs[2] = {out[0].data(), out[1].data()};
        long position = 0;
        auto next = std::chrono::steady_clock::now();
        const auto period = std::chrono::microseconds(1000000LL * kBlock / kRate);
        while (running_) {
            std::shared_ptr<AudioData> signal;
            {
                std::lock_guard<std::mutex> guard(lock_);
                signal = signal_;
            }
            const long frames = signal ? signal->frames() : 0;
            for (int i = 0; i < kBlock; ++i, ++position) {
                for (int c = 0; c < 2; ++c) {
                    in[c][i] = frames > 0
                                   ? signal->samples[static_cast<std::size_t>(position % frames) * signal->channels +
                                                     std::min(c, signal->channels - 1)]
                                   : 0.0f;
                }
            }
            instance_.process(inputs, outputs, kBlock, ProcessMode::Replace);
            ++blocks_;
            next += period;
            std::this_thread::sleep_until(next);
        }
    }

    Instance& instance_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<long> blocks_{0};
    std::mutex lock_;
    std::shared_ptr<AudioData> signal_;
};

}  // namespace vsthost
