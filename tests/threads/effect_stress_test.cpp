// The host may change settings on one thread while another renders audio. These tests
// hammer both sides at once; under ThreadSanitizer any unsynchronised access fails them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "effect/reverb_effect.h"

namespace {

using Clock = std::chrono::steady_clock;

struct StereoBlock {
    explicit StereoBlock(int frames) : left(frames), right(frames), outLeft(frames), outRight(frames) {}
    std::vector<float> left, right, outLeft, outRight;
    float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};
    void bind() {
        inputs[0] = left.data(), inputs[1] = right.data();
        outputs[0] = outLeft.data(), outputs[1] = outRight.data();
    }
};

TEST(EffectStress, AutomationAndProgramChangesWhileRendering) {
    ReverbEffect effect(nullptr);
    ASSERT_TRUE(effect.isValid());
    effect.resume();

    std::atomic<bool> stop{false};
    std::atomic<long> settingChanges{0};
    const auto deadline = Clock::now() + std::chrono::milliseconds(1500);

    std::thread automation([&] {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const float rates[] = {44100.0f, 48000.0f, 96000.0f, 22050.0f};
        while (!stop.load()) {
            for (int index = 0; index < kParameterCount; ++index) effect.setParameter(index, unit(random));
            const unsigned roll = random() % 64;
            if (roll < 8) effect.setProgram(static_cast<VstInt32>(roll));
            if (roll == 9) effect.setSampleRate(rates[random() % 4]);
            if (roll == 10) effect.resume();
            settingChanges.fetch_add(1);
        }
    });
    std::thread meter([&] {
        while (!stop.load()) {
            EXPECT_GE(effect.getVu(), 0.0f);
            (void)effect.gateState();
            std::this_thread::yield();
        }
    });

    std::mt19937 random(11);
    std::uniform_real_distribution<float> signal(-1.0f, 1.0f);
    StereoBlock block(8192);
    block.bind();
    long blocks = 0, nonFinite = 0;
    while (Clock::now() < deadline || blocks < 50) {
        const int frames = 1 + static_cast<int>(random() % 1024);
        for (int i = 0; i < frames; ++i) block.left[i] = signal(random), block.right[i] = signal(random);
        if (blocks % 2)
            effect.processReplacing(block.inputs, block.outputs, frames);
        else
            effect.process(block.inputs, block.outputs, frames);
        for (int i = 0; i < frames; ++i)
            if (!std::isfinite(block.outLeft[i]) || !std::isfinite(block.outRight[i])) ++nonFinite;
        std::fill(block.outLeft.begin(), block.outLeft.begin() + frames, 0.0f);
        std::fill(block.outRight.begin(), block.outRight.begin() + frames, 0.0f);
        ++blocks;
    }
    stop.store(true);
    automation.join();
    meter.join();

    EXPECT_EQ(nonFinite, 0);
    EXPECT_GT(settingChanges.load(), 10);
    EXPECT_GE(blocks, 50);
}

}  // namespace
