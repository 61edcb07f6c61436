// The host may change settings on one thread while another renders audio. These tests
// hammer both sides at once; under ThreadSanitizer any unsynchronised access fails them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "effect/reverb_effect.h"
#include "threads/same_engine.h"

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

// Lets the test compare the engine with the stored values afterwards.
class WatchedEffect : public ReverbEffect {
public:
    WatchedEffect() : ReverbEffect(nullptr) {}
    ReverbCore& reverb() { return core; }
};

TEST(EffectStress, AutomationAndProgramChangesWhileRendering) {
    WatchedEffect effect;
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
    std::thread knob([&] {  // the window thread: one parameter at a time
        std::mt19937 random(8);
        while (!stop.load()) {
            effect.setParameter(static_cast<VstInt32>(random() % kParameterCount), (random() % 1001) / 1000.0f);
            settingChanges.fetch_add(1);
        }
    });
    std::atomic<float> meterHighest{0.0f};
    std::thread meter([&] {
        while (!stop.load()) {
            meterHighest.store(std::max(meterHighest.load(), effect.getVu()));
            (void)effect.gateState();
            std::this_thread::yield();
        }
    });

    std::mt19937 random(11);
    std::uniform_real_distribution<float> signal(-1.0f, 1.0f);
    StereoBlock block(8192);
    block.bind();
    long blocks = 0, nonFinite = 0;
    float renderedHighest = 0.0f;
    while (Clock::now() < deadline || blocks < 50) {
        const int frames = 1 + static_cast<int>(random() % 1024);
        // Automation played by the audio thread itself, as most hosts do.
        for (int index = 0; index < kParameterCount; index += 1 + static_cast<int>(random() % 4))
            effect.setParameter(index, signal(random) * 0.5f + 0.5f);
        if (random() % 97 == 0) effect.setProgram(static_cast<VstInt32>(random() % kProgramCount));
        for (int i = 0; i < frames; ++i) block.left[i] = signal(random), block.right[i] = signal(random);
        if (blocks % 2)
            effect.processReplacing(block.inputs, block.outputs, frames);
        else
            effect.process(block.inputs, block.outputs, frames);
        for (int i = 0; i < frames; ++i) {
            if (!std::isfinite(block.outLeft[i]) || !std::isfinite(block.outRight[i])) ++nonFinite;
            renderedHighest = std::max({renderedHighest, std::fabs(block.outLeft[i]), std::fabs(block.outRight[i])});
        }
        std::fill(block.outLeft.begin(), block.outLeft.begin() + frames, 0.0f);
        std::fill(block.outRight.begin(), block.outRight.begin() + frames, 0.0f);
        ++blocks;
    }
    stop.store(true);
    automation.join();
    knob.join();
    meter.join();

    // Quiet now: the next block runs exactly what the stored values say, and the meter shows
    // that block's loudest sample.
    (void)effect.getVu();
    effect.processReplacing(block.inputs, block.outputs, 64);
    float loudest = 0.0f;
    for (int i = 0; i < 64; ++i) loudest = std::max({loudest, std::fabs(block.outLeft[i]), std::fabs(block.outRight[i])});
    EXPECT_EQ(effect.getVu(), loudest);
    EXPECT_LE(meterHighest.load(), renderedHighest) << "the meter showed more than was rendered";
    ReverbCore reference;
    reference.setSampleRate(effect.getSampleRate());
    copyStoredValues(effect.reverb(), reference);
    expectSameEngine(effect.reverb(), reference);

    EXPECT_EQ(nonFinite, 0);
    EXPECT_GT(settingChanges.load(), 10);
    EXPECT_GE(blocks, 50);
}

}  // namespace
