// Parameter values no sane host sends: NaN, infinities, values outside [0, 1] and far
// outside it, in every program and at several sample rates. The effect keeps what it was
// sent, but the sound must stay finite and bounded, and come back when the value does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <tuple>

#include "hardening/hardening_support.h"

namespace {

using hardening::Measure;
using hardening::Noise;

constexpr float kInf = std::numeric_limits<float>::infinity();
const float kBadValues[] = {std::numeric_limits<float>::quiet_NaN(), kInf, -kInf, -1.0f, 2.0f, 1e30f, -1e30f};
const char* const kBadNames[] = {"NaN", "PlusInf", "MinusInf", "MinusOne", "Two", "Huge", "MinusHuge"};
const float kRates[] = {1.0f, 44100.0f, 1e7f};  // below the engine's range, common, above it

constexpr int kFrames = 512;
constexpr int kBadBlocks = 6;      // 3072 frames with the bad value in place
constexpr int kRestoreBlocks = 8;  // 4096 frames after the value is put right
constexpr float kAmplitude = 0.5f;

// Noise at ±0.5 per channel through the loudest settings the range allows (+20 dB wet, early
// level 1) peaks at a few hundred; any bad value may reach at most that loudness.
constexpr double kPeakBound = 1e4;

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class BadValue : public ::testing::TestWithParam<std::tuple<int, int>> {};

// One bad value in one parameter at a time, then the program's own value back.
TEST_P(BadValue, OneParameterAtATimeStaysFiniteAndRecovers) {
    const int program = std::get<0>(GetParam());
    const float bad = kBadValues[std::get<1>(GetParam())];
    for (float rate : kRates) {
        for (int index = 0; index < kParameterCount; ++index) {
            SCOPED_TRACE("rate " + std::to_string(rate) + ", parameter " + std::to_string(index));
            ReverbEffect effect(nullptr);
            ASSERT_TRUE(effect.isValid());
            effect.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
            effect.setProgram(program);
            effect.resume();
            const float good = effect.getParameter(index);
            Noise noise(1234u + index);

            effect.setParameter(index, bad);
            ASSERT_TRUE(sameBits(effect.getParameter(index), bad)) << "the stored value must be what was sent";
            const Measure during = hardening::renderNoise(effect, noise, kBadBlocks, kFrames, kAmplitude);
            EXPECT_EQ(during.nonFinite, 0);
            EXPECT_LE(during.peak, kPeakBound);
            ASSERT_TRUE(sameBits(effect.getParameter(index), bad));

            effect.setParameter(index, good);
            const Measure after = hardening::renderNoise(effect, noise, kRestoreBlocks, kFrames, kAmplitude);
            EXPECT_EQ(after.nonFinite, 0);
            EXPECT_LE(after.peak, kPeakBound);
            EXPECT_GT(after.rms(), 1e-4) << "the reverb went quiet";

            // The same program, never disturbed, on the same input: the restored effect must
            // sound like it, give or take what is still ringing from the bad stretch.
            ReverbEffect fresh(nullptr);
            fresh.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
            fresh.setProgram(program);
            fresh.resume();
            Noise again(1234u + index);
            hardening::renderNoise(fresh, again, kBadBlocks, kFrames, kAmplitude);
            const Measure reference = hardening::renderNoise(fresh, again, kRestoreBlocks, kFrames, kAmplitude);
            EXPECT_GT(after.rms(), reference.rms() * 0.01);
            EXPECT_LT(after.rms(), reference.rms() * 100.0);
        }
    }
}

// All thirteen at once, through a program change, through both callbacks.
TEST_P(BadValue, AllParametersAtOnce) {
    const int program = std::get<0>(GetParam());
    const float bad = kBadValues[std::get<1>(GetParam())];
    for (float rate : kRates) {
        SCOPED_TRACE("rate " + std::to_string(rate));
        ReverbEffect effect(nullptr);
        effect.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
        effect.setProgram(program);
        for (int index = 0; index < kParameterCount; ++index) effect.setParameter(index, bad);
        for (int index = 0; index < kParameterCount; ++index) ASSERT_TRUE(sameBits(effect.getParameter(index), bad));
        Noise noise(99u);
        const Measure replacing = hardening::renderNoise(effect, noise, kBadBlocks, kFrames, kAmplitude);
        EXPECT_EQ(replacing.nonFinite, 0);
        EXPECT_LE(replacing.peak, kPeakBound);

        // The accumulating callback adds the same kind of output into zeroed buffers.
        hardening::Stereo block(kFrames);
        block.fillNoise(noise, kAmplitude);
        float* in[2] = {block.left.data(), block.right.data()};
        float* out[2] = {block.outLeft.data(), block.outRight.data()};
        effect.process(in, out, kFrames);
        for (int i = 0; i < kFrames; ++i) {
            ASSERT_TRUE(std::isfinite(block.outLeft[i]) && std::isfinite(block.outRight[i]));
            ASSERT_LE(std::fabs(block.outLeft[i]), kPeakBound);
        }

        // Reselecting the program brings the stored bad values back, so choose another and
        // edit it back to the factory values of this one.
        effect.setProgram((program + 1) % kProgramCount);
        ReverbProgram factory;
        factory.loadFactory(program);
        for (int index = 0; index < kParameterCount; ++index) effect.setParameter(index, factory.values[index]);
        const Measure after = hardening::renderNoise(effect, noise, kRestoreBlocks, kFrames, kAmplitude);
        EXPECT_EQ(after.nonFinite, 0);
        EXPECT_GT(after.rms(), 1e-4);
        EXPECT_GE(effect.getVu(), 0.0f);
    }
}

std::string caseName(const ::testing::TestParamInfo<std::tuple<int, int>>& info) {
    return "Program" + std::to_string(std::get<0>(info.param)) + "_" + kBadNames[std::get<1>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(ProgramsAndValues, BadValue,
                         ::testing::Combine(::testing::Range(0, kProgramCount), ::testing::Range(0, 7)), caseName);

// The displays show what was stored, out-of-range physical values included.
TEST(BadValueTexts, DisplayShowsTheStoredValue) {
    ReverbEffect effect(nullptr);
    char text[64];
    effect.setParameter(kOut, 2.0f);
    effect.getParameterDisplay(kOut, text);
    EXPECT_STREQ(text, "100.000");
    effect.setParameter(kOut, -1.0f);
    effect.getParameterDisplay(kOut, text);
    EXPECT_STREQ(text, "-140.000");
    effect.setParameter(kT60, std::numeric_limits<float>::quiet_NaN());
    effect.getParameterDisplay(kT60, text);
    EXPECT_NE(std::string(text).find("nan"), std::string::npos) << text;
    effect.setParameter(kOut, kInf);
    effect.getParameterDisplay(kOut, text);
    EXPECT_NE(std::string(text).find("inf"), std::string::npos) << text;
}

}  // namespace
