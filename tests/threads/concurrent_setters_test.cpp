// Setters on several threads at once, as hosts make them: automation on the audio thread,
// the musician's knob on the window thread. When they stop, the engine must run exactly
// what the stored values say, coupled settings included.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <random>
#include <thread>
#include <vector>

#include "effect/reverb_core.h"
#include "threads/same_engine.h"

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr int kTrials = 200;  // each access is watched: fewer, still racing
#else
constexpr int kTrials = 1000;
#endif

// Runs `work` on `count` threads released together, once per trial.
class Starter {
public:
    explicit Starter(int count) : count(count) {}
    void run(const std::function<void(int thread, int trial)>& work, int trials) {
        std::vector<std::thread> threads;
        for (int t = 0; t < count; ++t)
            threads.emplace_back([&, t] {
                for (int trial = 0; trial < trials; ++trial) {
                    while (released.load(std::memory_order_acquire) <= trial) std::this_thread::yield();
                    work(t, trial);
                    finished.fetch_add(1, std::memory_order_acq_rel);
                }
            });
        for (int trial = 0; trial < trials; ++trial) {
            released.store(trial + 1, std::memory_order_release);
            while (finished.load(std::memory_order_acquire) < (trial + 1) * count) std::this_thread::yield();
            between(trial);
        }
        for (std::thread& thread : threads) thread.join();
    }
    std::function<void(int trial)> between = [](int) {};

private:
    const int count;
    std::atomic<int> released{0};
    std::atomic<int> finished{0};
};

// Each pair is set from two threads at once; each pair's engine state comes from both.
TEST(ConcurrentSetters, CoupledParametersEndInTheStoredState) {
    const int pairs[][2] = {{kOut, kEarlyLevel}, {kRoomSize, kEarlyDelay}, {kOut, kRoomSize}};
    for (const auto& pair : pairs) {
        ReverbCore core;
        core.takeOverChanges();
        std::vector<float> values(2 * kTrials);
        std::mt19937 random(pair[0] * 31 + pair[1]);
        for (float& v : values) v = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
        Starter starter(2);
        starter.between = [&](int trial) {
            core.takeOverChanges();
            ReverbCore reference;
            copyStoredValues(core, reference);
            expectSameEngine(core, reference, trial);
        };
        starter.run([&](int thread, int trial) { core.setParameter(pair[thread], values[2 * trial + thread]); },
                    static_cast<int>(values.size() / 2));
        ASSERT_FALSE(testing::Test::HasFatalFailure()) << "parameters " << pair[0] << " and " << pair[1];
    }
}

// Setters and program changes on two threads; then the same input gives the same bits as a
// core that was given the final values on one thread.
TEST(ConcurrentSetters, OutputMatchesOneThreadGivenTheFinalValues) {
    ReverbCore core;
    auto turn = [&](unsigned seed) {
        std::mt19937 random(seed);
        for (int n = 0; n < 3000; ++n) {
            core.setParameter(static_cast<int>(random() % kParameterCount), (random() % 1001) / 1000.0f);
            if (static_cast<unsigned>(n % 500) == seed) core.setProgram(static_cast<int>(random() % kProgramCount));
        }
    };
    std::thread window(turn, 3u), automation(turn, 4u);
    window.join();
    automation.join();

    ReverbCore reference;
    copyStoredValues(core, reference);
    std::mt19937 random(5);
    std::vector<float> in(512), a(512), b(512), c(512), d(512);
    for (int block = 0; block < 40; ++block) {
        for (float& x : in) x = std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
        core.render(in.data(), in.data(), a.data(), b.data(), 512, false);
        reference.render(in.data(), in.data(), c.data(), d.data(), 512, false);
        ASSERT_EQ(std::memcmp(a.data(), c.data(), 512 * sizeof(float)), 0) << "block " << block;
        ASSERT_EQ(std::memcmp(b.data(), d.data(), 512 * sizeof(float)), 0) << "block " << block;
    }
    expectSameEngine(core, reference, 0);
}

}  // namespace
