#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <random>

#include "dsp/engine_constants.h"
#include "dsp/engine_driver.h"
#include "dsp/reverb_engine.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

}  // namespace

TEST(EngineConstants, CapacitiesFollowFromTheWorstCase) {
    const double rate = kMaxSampleRate;
    const int32_t late0 = static_cast<int32_t>(std::floor(rate * 0.2f));
    EXPECT_EQ(kLateCapacity[0], late0);
    for (int k = 1; k < kLateLineCount; ++k)
        EXPECT_EQ(kLateCapacity[k], static_cast<int32_t>(late0 * static_cast<double>(kLineRatio[k])));
    EXPECT_EQ(kEarlyCapacity, static_cast<int32_t>(std::floor(rate * 0.05f)));
    EXPECT_EQ(kDiffuserCapacity[0], static_cast<int32_t>(std::floor(rate * 0.02f)));
    EXPECT_EQ(kDiffuserCapacity[1], static_cast<int32_t>(kDiffuserCapacity[0] * static_cast<double>(kLineRatio[1])));
    EXPECT_EQ(kDiffuserCapacity[2], kEarlyCapacity);
    EXPECT_EQ(kDiffuserCapacity[3], static_cast<int32_t>(kDiffuserCapacity[2] * static_cast<double>(kLineRatio[1])));
    int32_t total = kEarlyCapacity;
    for (int k = 0; k < 4; ++k) total += kLateCapacity[k] + kDiffuserCapacity[k];
    EXPECT_EQ(total, 69919);
}

TEST(EngineConstants, LineRatiosAndTheirProducts) {
    for (int k = 0; k < kLateLineCount; ++k) {
        const double ratio = std::pow(3.0, -k / 4.0);
        EXPECT_EQ(kLineRatio[k], static_cast<float>(ratio)) << k;
        EXPECT_NEAR(kLateSeconds[k], 0.2 * ratio, 1e-8) << k;
        EXPECT_NEAR(kGainExponent[k], -12.0 * ratio, 1e-6) << k;
        EXPECT_NEAR(kDiffuserSeconds[k], 0.02 * ratio, 2e-9) << k;
    }
}

TEST(EngineSettings, FreshEngineAt44100) {
    ReverbEngine engine;
    ASSERT_TRUE(engine.isValid());
    EXPECT_EQ(engine.sampleRate(), 44100);
    EXPECT_EQ(engine.gateState(), ReverbEngine::GateOpen);
    const ReverbSettings s = engine.settings();
    EXPECT_EQ(s.t60, 2.1700000762939453f);
    EXPECT_EQ(s.earlyLevel, 0.30000001192092896f);
    EXPECT_EQ(s.holdTime, 0.10000000149011612f);
    EXPECT_EQ(s.threshold, 0.0f);
    EXPECT_FALSE(s.dry);
}

TEST(EngineSettings, WorkedValuesAt44100RoomHalf) {
    ReverbEngine engine;
    const ReverbCoefficients c = engine.coefficients();
    const int32_t lateLengths[4] = {4410, 3350, 2546, 1934};
    const double lateGains[4] = {0.36368147, 0.39257586, 0.41605619, 0.43483195};
    const double lateCoefficients[4] = {0.39609820, 0.29558256, 0.20108245, 0.12111246};
    const int32_t diffuserLengths[4] = {881, 670, 509, 386};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(c.length[k], lateLengths[k]) << k;
        EXPECT_NEAR(c.gain[k], lateGains[k], 5e-8) << k;
        EXPECT_NEAR(c.damping[k], lateCoefficients[k], 5e-8) << k;
        EXPECT_EQ(c.length[kFirstDiffuserIndex + k], diffuserLengths[k]) << k;
    }
    // cutoffs 6500, 8554.48, 11258.33, 14816.80 Hz
    EXPECT_EQ(c.damping[0], cutoffCoefficient(6500.0f, 44100));
    EXPECT_EQ(c.damping[1], cutoffCoefficient(static_cast<float>(6500.0 / 0.7598356604576111), 44100));
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 0], 0.4000000059604645f);
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 1], -0.4000000059604645f);
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 2], 0.6f);
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 3], 0.6f);
    EXPECT_EQ(c.length[kEarlyLineIndex], 551);
    EXPECT_EQ(c.gain[kEarlyLineIndex], 0.3f);
    EXPECT_EQ(c.damping[kEarlyLineIndex], cutoffCoefficient(10000.0f, 44100));
    EXPECT_NEAR(c.holdCoef, 0.99977327, 5e-8);
    EXPECT_NEAR(c.releaseCoef, 0.99943327, 5e-8);
    EXPECT_NEAR(c.attackStep, 0.011337868, 5e-9);
    EXPECT_EQ(c.highCut, cutoffCoefficient(4000.0f, 44100));
    EXPECT_EQ(c.lowCut, cutoffCoefficient(150.0f, 44100));
    // one attack step from 0.995 overshoots 1
    EXPECT_NEAR(0.995f + c.attackStep, 1.0063379f, 1e-7);
}

TEST(EngineSettings, LargestRoomAt96kFillsTheBuffers) {
    ReverbEngine engine;
    EngineDriver(engine).set(&ReverbSettings::sampleRate, 96000).set(&ReverbSettings::roomSize, 1.0f).handOver();
    const ReverbCoefficients c = engine.coefficients();
    for (int k = 0; k < 4; ++k) EXPECT_EQ(c.length[k], kLateCapacity[k]) << k;
    EXPECT_EQ(c.length[kFirstDiffuserIndex + 0], kDiffuserCapacity[0]);
    EXPECT_EQ(c.length[kFirstDiffuserIndex + 1], kDiffuserCapacity[1]);
    EXPECT_LE(c.length[kFirstDiffuserIndex + 2], 1108);
    EXPECT_LE(c.length[kFirstDiffuserIndex + 3], 842);
}

TEST(EngineSettings, LongestDecayFollowsTheGainFormula) {
    ReverbEngine engine;
    EngineDriver(engine).set(&ReverbSettings::roomSize, 1.0f).set(&ReverbSettings::t60, 7.0f).handOver();
    // 0.5 × 10^(−12/140)
    EXPECT_NEAR(engine.coefficients().gain[0], 0.410446, 5e-7);
}

TEST(EngineSettings, SampleRateIsClamped) {
    ReverbEngine engine;
    auto setRate = [&](int32_t rate) { EngineDriver(engine).set(&ReverbSettings::sampleRate, rate).handOver(); };
    setRate(200000);
    EXPECT_EQ(engine.sampleRate(), 96000);
    setRate(1000);
    EXPECT_EQ(engine.sampleRate(), 5000);
    EXPECT_EQ(engine.coefficients().length[0], static_cast<int32_t>(5000 * 0.5 * 0.2f));
    setRate(48000);
    EXPECT_EQ(engine.coefficients().length[kFirstDiffuserIndex], 959);
}

TEST(EngineSettings, ClampsPutNaNOnTheLowerLimit) {
    ReverbEngine engine;
    struct Case {
        float ReverbSettings::*field;
        float lower, upper;
    };
    // Pan acts frame by frame, the rest reshape the lines: both paths limit.
    const Case cases[] = {
        {&ReverbSettings::t60, 0.01f, 7.0f},         {&ReverbSettings::damping, 10.0f, 40000.0f},
        {&ReverbSettings::density, 0.0f, 1.0f},      {&ReverbSettings::roomSize, 0.05f, 1.0f},
        {&ReverbSettings::highCut, 10.0f, 40000.0f}, {&ReverbSettings::lowCut, 10.0f, 10000.0f},
        {&ReverbSettings::holdTime, 0.01f, 1.0f},    {&ReverbSettings::pan, 0.0f, 1.0f},
    };
    for (const Case& c : cases) {
        const float inside = c.lower + (c.upper - c.lower) * 0.25f;
        const float given[][2] = {{1e9f, c.upper}, {-1e9f, c.lower}, {kNaN, c.lower}, {inside, inside}};
        for (const auto& [value, kept] : given) {
            EngineDriver(engine).set(c.field, value).handOver();
            EXPECT_EQ(engine.settings().*c.field, kept) << value;
        }
    }
}

TEST(EngineSettings, LevelsAndEarlyDelayAreStoredAsGiven) {
    ReverbEngine engine;
    EngineDriver(engine)
        .set(&ReverbSettings::lateLevel, 12.5f)
        .set(&ReverbSettings::earlyLevel, -3.0f)
        .set(&ReverbSettings::earlyDelay, 7.0f)
        .handOver();
    const ReverbSettings s = engine.settings();
    EXPECT_EQ(s.lateLevel, 12.5f);
    EXPECT_EQ(s.earlyLevel, -3.0f);
    EXPECT_EQ(s.earlyDelay, 7.0f);
    EXPECT_EQ(engine.coefficients().gain[kEarlyLineIndex], -3.0f);
    EXPECT_EQ(engine.coefficients().lateLevel, 12.5f);
}

TEST(EngineSettings, EarlyDelayOutsideTheUnitRangeStaysInsideTheLine) {
    ReverbEngine engine;
    const struct {
        float delay;
        int32_t length;
    } cases[] = {{7.0f, kEarlyCapacity},
                 {kInfinity, kEarlyCapacity},
                 {1e30f, kEarlyCapacity},
                 {-0.5f, 0},
                 {-kInfinity, 0},
                 {kNaN, 0},
                 {-0.0f, 0},
                 {1.0f, 2205}};
    for (const auto& c : cases) {
        EngineDriver(engine).set(&ReverbSettings::earlyDelay, c.delay).handOver();
        EXPECT_EQ(engine.coefficients().length[kEarlyLineIndex], c.length) << c.delay;
    }
}

TEST(EngineSettings, SensitivitySetsTheThresholdAndOpensTheGate) {
    ReverbEngine engine;
    const float cases[][2] = {{0.99f, 0.009999990463256836f}, {0.25f, 0.75f}, {kNaN, 1.0f}, {3.0f, 0.0f}};
    for (const auto& [sensitivity, threshold] : cases) {
        EngineDriver(engine).setSensitivity(sensitivity).handOver();
        EXPECT_EQ(engine.settings().threshold, threshold) << sensitivity;
    }
    EXPECT_FALSE(cases[0][1] > kGateFloor);  // just below full sensitivity the gate is off
}

TEST(EngineSettings, DensityScalesTheFirstTwoDiffusers) {
    ReverbEngine engine;
    EngineDriver(engine).set(&ReverbSettings::density, 1.0f).handOver();
    const ReverbCoefficients c = engine.coefficients();
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 0], 0.800000011920929f);
    EXPECT_EQ(c.gain[kFirstDiffuserIndex + 1], -0.800000011920929f);
    EngineDriver(engine).set(&ReverbSettings::density, 0.0f).handOver();
    EXPECT_EQ(engine.coefficients().gain[kFirstDiffuserIndex + 0], 0.0f);
}

// Working out only the groups whose settings changed gives the bits of working out all,
// whichever settings change and however many at once.
TEST(EngineSettings, UpdatedCoefficientsEqualFreshOnes) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const auto randomSettings = [&] {
        ReverbSettings s;
        s.sampleRate = 22050 + static_cast<int32_t>(unit(random) * 170000.0f);
        s.t60 = 0.1f + 9.9f * unit(random);
        s.damping = 200.0f + 19000.0f * unit(random);
        s.density = unit(random);
        s.roomSize = unit(random);
        s.highCut = 20.0f + 20000.0f * unit(random);
        s.lowCut = 20.0f + 2000.0f * unit(random);
        s.earlyLevel = unit(random);
        s.earlyDelay = unit(random);
        s.holdTime = 0.01f + unit(random);
        s.lateLevel = unit(random);
        s.pan = unit(random);
        s.threshold = unit(random);
        s.dry = unit(random) > 0.5f;
        return limitSettings(s);
    };
    for (int trial = 0; trial < 2000; ++trial) {
        const ReverbSettings was = randomSettings();
        const ReverbSettings other = randomSettings();
        ReverbSettings now = was;
        // Each setting taken from the other set with a chance of one in four.
        const auto mix = [&](auto& field, auto from) {
            if (unit(random) < 0.25f) field = from;
        };
        mix(now.sampleRate, other.sampleRate), mix(now.t60, other.t60), mix(now.damping, other.damping);
        mix(now.density, other.density), mix(now.roomSize, other.roomSize), mix(now.highCut, other.highCut);
        mix(now.lowCut, other.lowCut), mix(now.earlyLevel, other.earlyLevel), mix(now.earlyDelay, other.earlyDelay);
        mix(now.holdTime, other.holdTime), mix(now.lateLevel, other.lateLevel), mix(now.pan, other.pan);
        mix(now.threshold, other.threshold), mix(now.dry, other.dry);

        ReverbCoefficients updated = computeCoefficients(was);
        updateCoefficients(was, now, updated);
        const ReverbCoefficients fresh = computeCoefficients(now);
        // Every member before dry is four bytes wide: no padding to compare.
        ASSERT_EQ(std::memcmp(&updated, &fresh, offsetof(ReverbCoefficients, dry)), 0) << "trial " << trial;
        ASSERT_EQ(updated.dry, fresh.dry) << "trial " << trial;
    }
}
