// What the engine does to a signal: routing, levels, balance, early reflection and gate.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "dsp/engine_driver.h"
#include "dsp/reverb_engine.h"

namespace {

struct Output {
    std::vector<float> left, right;
};

Output run(ReverbEngine& engine, const std::vector<float>& left, const std::vector<float>& right) {
    Output out;
    for (size_t i = 0; i < left.size(); ++i) {
        engine.process(left[i], right[i]);
        out.left.push_back(engine.outLeft);
        out.right.push_back(engine.outRight);
    }
    return out;
}

std::vector<float> impulse(int frames, float height = 1.0f) {
    std::vector<float> x(frames, 0.0f);
    x[0] = height;
    return x;
}

std::vector<float> noise(int frames, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    std::vector<float> x(frames);
    for (float& v : x) v = sample(random);
    return x;
}

bool anyNonZero(const std::vector<float>& x) {
    for (float v : x)
        if (v != 0.0f) return true;
    return false;
}

}  // namespace

TEST(EngineRouting, ZeroLevelsGiveSilenceAndDryPassesTheInputExactly) {
    auto engine = std::make_unique<ReverbEngine>();
    EngineDriver(*engine).set(&ReverbSettings::lateLevel, 0.0f).set(&ReverbSettings::earlyLevel, 0.0f).handOver();
    const std::vector<float> left = noise(20000, 1), right = noise(20000, 2);
    const Output wet = run(*engine, left, right);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(wet.left[i], 0.0f) << i;
        ASSERT_EQ(wet.right[i], 0.0f) << i;
    }
    EngineDriver(*engine).set(&ReverbSettings::dry, true).handOver();
    const Output dry = run(*engine, left, right);
    EXPECT_EQ(dry.left, left);
    EXPECT_EQ(dry.right, right);
}

TEST(EngineRouting, ReverberatesTheMonoSum) {
    auto fromLeft = std::make_unique<ReverbEngine>();
    auto fromRight = std::make_unique<ReverbEngine>();
    const std::vector<float> pulse = impulse(30000), silence(30000, 0.0f);
    const Output a = run(*fromLeft, pulse, silence);
    const Output b = run(*fromRight, silence, pulse);
    EXPECT_TRUE(anyNonZero(a.left));
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    EXPECT_NE(a.left, a.right);  // the late network spreads the mono sum across the sides
}

TEST(EngineRouting, PanBalancesTheWetSignal) {
    auto centre = std::make_unique<ReverbEngine>();
    auto hardLeft = std::make_unique<ReverbEngine>();
    auto hardRight = std::make_unique<ReverbEngine>();
    EngineDriver(*hardLeft).set(&ReverbSettings::pan, 0.0f).handOver();
    EngineDriver(*hardRight).set(&ReverbSettings::pan, 1.0f).handOver();
    const std::vector<float> x = noise(15000, 3);
    const Output c = run(*centre, x, x), l = run(*hardLeft, x, x), r = run(*hardRight, x, x);
    EXPECT_TRUE(anyNonZero(l.left));
    for (size_t i = 0; i < x.size(); ++i) {
        ASSERT_EQ(l.right[i], 0.0f) << i;
        ASSERT_EQ(r.left[i], 0.0f) << i;
        // unscaled at the hard side: exactly twice the centre's half
        ASSERT_EQ(l.left[i], 2.0f * c.left[i]) << i;
        ASSERT_EQ(r.right[i], 2.0f * c.right[i]) << i;
    }
}

TEST(EngineRouting, EarlyReflectionLagsByOneLessThanItsLength) {
    for (float delay : {0.0f, 0.25f}) {
        auto engine = std::make_unique<ReverbEngine>();
        EngineDriver(*engine)
            .set(&ReverbSettings::lateLevel, 0.0f)
            .set(&ReverbSettings::earlyLevel, 1.0f)
            .set(&ReverbSettings::earlyDelay, delay)
            .handOver();
        const Output out = run(*engine, impulse(2000), std::vector<float>(2000, 0.0f));
        const int lag = delay == 0.0f ? 0 : 550;  // 551 samples at 44.1 kHz, read after the write
        for (int i = 0; i < lag; ++i) ASSERT_EQ(out.left[i], 0.0f) << i;
        EXPECT_NE(out.left[lag], 0.0f) << delay;
        EXPECT_EQ(out.left[lag], out.right[lag]);  // mono, centred
    }
}

TEST(EngineRouting, EarlyLevelScalesOnlyTheEarlyReflection) {
    auto one = std::make_unique<ReverbEngine>();
    auto two = std::make_unique<ReverbEngine>();
    for (auto [engine, level] : {std::pair(one.get(), 0.25f), std::pair(two.get(), 0.5f)})
        EngineDriver(*engine).set(&ReverbSettings::lateLevel, 0.0f).set(&ReverbSettings::earlyLevel, level).handOver();
    const std::vector<float> x = noise(5000, 4);
    const Output a = run(*one, x, x), b = run(*two, x, x);
    for (size_t i = 0; i < x.size(); ++i) ASSERT_EQ(b.left[i], 2.0f * a.left[i]) << i;
}

TEST(EngineRouting, BlockCallbacksStoreOrAddAndKeepThePeak) {
    auto replacing = std::make_unique<ReverbEngine>();
    auto adding = std::make_unique<ReverbEngine>();
    const std::vector<float> x = noise(3000, 5);
    std::vector<float> l1(3000, 9.0f), r1(3000, 9.0f), l2(3000, 0.5f), r2(3000, -0.5f);
    float peak1 = 0.0f, peak2 = 0.0f;
    replacing->processBlock(x.data(), x.data(), l1.data(), r1.data(), 3000, 1e-8f, false, peak1);
    adding->processBlock(x.data(), x.data(), l2.data(), r2.data(), 3000, 1e-8f, true, peak2);
    float largest = 0.0f;
    for (int i = 0; i < 3000; ++i) {
        ASSERT_EQ(l2[i], 0.5f + l1[i]);
        ASSERT_EQ(r2[i], -0.5f + r1[i]);
        largest = std::fmax(largest, std::fmax(std::fabs(l1[i]), std::fabs(r1[i])));
    }
    EXPECT_GT(largest, 0.0f);
    EXPECT_EQ(peak1, largest);
    EXPECT_EQ(peak2, largest);  // the peak is of the engine's output, not of the sums
    EXPECT_EQ(replacing->outLeft, l1.back());

    std::vector<float> untouched(4, 3.0f);
    float peak = 0.25f;
    replacing->processBlock(x.data(), x.data(), untouched.data(), untouched.data(), 0, 0.0f, false, peak);
    EXPECT_EQ(untouched, std::vector<float>(4, 3.0f));
    EXPECT_EQ(peak, 0.25f);
}

TEST(EngineGate, OffAtFullSensitivityAndJustBelowIt) {
    for (float sensitivity : {1.0f, 0.99f}) {
        auto gated = std::make_unique<ReverbEngine>();
        auto plain = std::make_unique<ReverbEngine>();
        EngineDriver(*gated).setSensitivity(sensitivity).handOver();
        const std::vector<float> x = noise(5000, 6);
        std::vector<float> quietThenLoud(5000, 0.0f);
        for (int i = 2500; i < 5000; ++i) quietThenLoud[i] = x[i];
        const Output a = run(*gated, quietThenLoud, quietThenLoud);
        const Output b = run(*plain, quietThenLoud, quietThenLoud);
        EXPECT_EQ(a.left, b.left) << sensitivity;
        EXPECT_EQ(gated->gateState(), ReverbEngine::GateOpen);
    }
}

TEST(EngineGate, StatesFollowTheInputAndTheHoldTime) {
    auto engine = std::make_unique<ReverbEngine>();
    EngineDriver(*engine)
        .setSensitivity(0.5f)                   // threshold 0.5 on |left + right|
        .set(&ReverbSettings::holdTime, 0.01f)  // 441 samples at 44.1 kHz
        .handOver();
    engine->process(0.0f, 0.0f);
    EXPECT_EQ(engine->gateState(), ReverbEngine::GateRelease);  // the hold timer starts at 0
    engine->process(0.3f, 0.3f);
    EXPECT_EQ(engine->gateState(), ReverbEngine::GateOpen);
    engine->process(0.25f, 0.25f);  // exactly at the threshold is quiet
    EXPECT_EQ(engine->gateState(), ReverbEngine::GateHold);
    int quiet = 1;
    while (engine->gateState() == ReverbEngine::GateHold && quiet < 2000) {
        engine->process(0.0f, 0.0f);
        ++quiet;
    }
    EXPECT_EQ(engine->gateState(), ReverbEngine::GateRelease);
    EXPECT_NEAR(quiet, 441, 1);
    EngineDriver(*engine).setSensitivity(0.5f).handOver();
    EXPECT_EQ(engine->gateState(), ReverbEngine::GateOpen);
}

TEST(EngineGate, ReleaseFadesAndAttackClimbsOneStepPastUnity) {
    auto gated = std::make_unique<ReverbEngine>();
    auto plain = std::make_unique<ReverbEngine>();
    EngineDriver(*gated).setSensitivity(0.5f).handOver();
    const float attackStep = gated->coefficients().attackStep;
    const float releaseFactor = gated->coefficients().releaseCoef + 0.000001f;
    std::vector<float> input(12000, 0.0f);
    for (int i = 0; i < 4000; ++i) input[i] = i % 2 ? 0.4f : -0.4f;  // loud, to build up a tail
    const Output a = run(*gated, input, input), b = run(*plain, input, input);
    // wet × gate gain, and the gain is read back from the ratio
    auto gainAt = [&](int i) { return a.left[i] / b.left[i]; };
    const int quietStart = 4000 + 4410 + 100;  // hold 0.1 s, then release
    EXPECT_NEAR(gainAt(quietStart + 1) / gainAt(quietStart), releaseFactor, 1e-5);
    EXPECT_LT(gainAt(11999), 0.2f);  // about two 40 ms time constants

    // Loud again: one attack step per sample until unity is reached or passed.
    const float start = gainAt(11999);
    float expected = start;
    std::vector<float> loud(3000);
    for (int i = 0; i < 3000; ++i) loud[i] = i % 2 ? 0.4f : -0.4f;
    const Output c = run(*gated, loud, loud), d = run(*plain, loud, loud);
    int steps = 0;
    while (expected < 1.0f) {
        expected += attackStep;
        ++steps;
    }
    EXPECT_NEAR(steps, static_cast<int>((1.0f - start) / attackStep) + 1, 1);
    const float settled = c.left[2999] / d.left[2999];
    EXPECT_NEAR(settled, expected, 1e-5);
    EXPECT_GT(settled, 1.0f);
    EXPECT_LT(settled, 1.0f + attackStep);
    EXPECT_EQ(gated->gateState(), ReverbEngine::GateOpen);
}

TEST(EngineRouting, NoiseOffsetKeepsTheTailOutOfDenormals) {
    auto engine = std::make_unique<ReverbEngine>();
    EngineDriver(*engine).set(&ReverbSettings::t60, 7.0f).set(&ReverbSettings::roomSize, 1.0f).handOver();
    const std::vector<float> burst = noise(4096, 7), silence(4096, 0.0f);
    std::vector<float> outL(4096), outR(4096);
    float peak = 0.0f;
    engine->processBlock(burst.data(), burst.data(), outL.data(), outR.data(), 4096, 0.0f, false, peak);
    for (int b = 0; b < 400; ++b) {
        engine->processBlock(silence.data(), silence.data(), outL.data(), outR.data(), 4096, b % 2 ? 7.5e-8f : -2.5e-8f,
                             false, peak);
    }
    for (int i = 0; i < 4096; ++i) {
        ASSERT_TRUE(outL[i] == 0.0f || std::fabs(outL[i]) >= 1.17549435e-38f) << i;
        ASSERT_TRUE(outR[i] == 0.0f || std::fabs(outR[i]) >= 1.17549435e-38f) << i;
    }
}
