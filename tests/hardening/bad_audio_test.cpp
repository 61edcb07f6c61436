// Input no sane host sends: NaN and infinite samples, and finite samples far beyond any
// audio level. They must not poison the reverb for good, and ordinary input must sound
// exactly as it did before the effect learned to look out for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "effect/input_guard.h"
#include "hardening/hardening_support.h"

namespace {

using hardening::Measure;
using hardening::Noise;
using hardening::Stereo;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// Finite samples up to the limit pass bit for bit (signed zeros and denormals too); beyond it
// they are held at the limit, and non-finite ones are heard as silence.
TEST(BadAudio, TheGuardPassesAudioAndReplacesOnlyWhatCannotBeHeard) {
    const float max = std::numeric_limits<float>::max();
    const float denormal = std::numeric_limits<float>::denorm_min();
    const struct {
        float in, out;
    } cases[] = {{0.5f, 0.5f},   {-0.0f, -0.0f},   {denormal, denormal}, {1e20f, 1e20f}, {-1e20f, -1e20f},
                 {1e30f, 1e20f}, {-max, -1e20f},   {kInf, 0.0f},         {-kInf, 0.0f},  {kNaN, 0.0f}};
    for (const auto& c : cases) {
        const float got = inputguard::cleaned(c.in);
        EXPECT_EQ(std::memcmp(&got, &c.out, sizeof got), 0) << c.in << " became " << got;
        EXPECT_EQ(inputguard::isClean(&c.in, 1), std::memcmp(&got, &c.in, sizeof got) == 0) << c.in;
    }
}

// A broken block sounds exactly like the block the guard makes of it, however long (the core
// cleans it piece by piece) and in both callbacks.
TEST(BadAudio, ABrokenBlockSoundsLikeItsCleanedCopy) {
    for (int frames : {7, 256, 300, 4097}) {
        for (bool accumulate : {false, true}) {
            ReverbCore broken, cleaned;
            Noise noise(static_cast<uint32_t>(frames));
            for (int round = 0; round < 3; ++round) {
                Stereo a(frames), b(frames);
                a.fillNoise(noise, 0.5f);
                for (int i = round; i < frames; i += 97) a.left[i] = (i % 3 == 0) ? kNaN : (i % 3 == 1) ? -kInf : 3e33f;
                a.right[frames / 2] = kNaN;
                for (int i = 0; i < frames; ++i) {
                    b.left[i] = inputguard::cleaned(a.left[i]);
                    b.right[i] = inputguard::cleaned(a.right[i]);
                    a.outLeft[i] = a.outRight[i] = b.outLeft[i] = b.outRight[i] = 0.25f;
                }
                broken.render(a.left.data(), a.right.data(), a.outLeft.data(), a.outRight.data(), frames, accumulate);
                cleaned.render(b.left.data(), b.right.data(), b.outLeft.data(), b.outRight.data(), frames, accumulate);
                ASSERT_EQ(std::memcmp(a.outLeft.data(), b.outLeft.data(), frames * sizeof(float)), 0) << frames;
                ASSERT_EQ(std::memcmp(a.outRight.data(), b.outRight.data(), frames * sizeof(float)), 0) << frames;
            }
            EXPECT_EQ(broken.takePeak(), cleaned.takePeak());
        }
    }
}

// A burst of `bad` samples in the middle of noise, then clean noise again.
void burstThenClean(int program, float bad, bool bothChannels) {
    ReverbEffect effect(nullptr);
    effect.setProgram(program);
    effect.resume();
    Noise noise(31u);
    hardening::renderNoise(effect, noise, 4, 512, 0.5f);

    Stereo burst(512);
    burst.fillNoise(noise, 0.5f);
    for (int i = 100; i < 300; ++i) {
        burst.left[i] = bad;
        if (bothChannels || i % 2 == 0) burst.right[i] = bad;
    }
    float* in[2] = {burst.left.data(), burst.right.data()};
    float* out[2] = {burst.outLeft.data(), burst.outRight.data()};
    effect.processReplacing(in, out, 512);
    for (int i = 0; i < 512; ++i) {
        ASSERT_TRUE(std::isfinite(burst.outLeft[i])) << i;
        ASSERT_TRUE(std::isfinite(burst.outRight[i])) << i;
    }
    const float vu = effect.getVu();
    EXPECT_TRUE(std::isfinite(vu));

    const Measure after = hardening::renderNoise(effect, noise, 16, 512, 0.5f);
    EXPECT_EQ(after.nonFinite, 0);
    EXPECT_GT(after.rms(), 1e-4) << "the reverb stopped working";
    EXPECT_LT(after.peak, std::isfinite(bad) ? 1e38 : 1e4);
}

TEST(BadAudio, NaNBurstLeavesTheReverbWorking) {
    for (int program = 0; program < kProgramCount; ++program) {
        SCOPED_TRACE(program);
        burstThenClean(program, kNaN, true);
        burstThenClean(program, kNaN, false);
    }
}

TEST(BadAudio, InfiniteSamplesLeaveTheReverbWorking) {
    for (int program = 0; program < kProgramCount; ++program) {
        SCOPED_TRACE(program);
        burstThenClean(program, kInf, true);
        burstThenClean(program, -kInf, false);
    }
}

// Samples of 1e30, far past the limit, are held at it: the output is huge for a while but
// stays finite, and the reverb is not poisoned.
TEST(BadAudio, HugeFiniteSamplesStayFinite) {
    for (int program = 0; program < kProgramCount; ++program) {
        SCOPED_TRACE(program);
        burstThenClean(program, 1e30f, true);
        burstThenClean(program, -std::numeric_limits<float>::max(), false);
    }
}

// The loudest settings the range allows, a long decay and a whole block of the largest
// samples let through: nothing in the engine may overflow.
TEST(BadAudio, LimitLevelInputAtTheLoudestSettingsStaysFinite) {
    ReverbEffect effect(nullptr);
    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    const float loudest[kParameterCount] = {0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                                            0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    for (int index = 0; index < kParameterCount; ++index) effect.setParameter(index, loudest[index]);
    Stereo block(4096);
    float* in[2] = {block.left.data(), block.right.data()};
    float* out[2] = {block.outLeft.data(), block.outRight.data()};
    double peak = 0.0;
    for (int b = 0; b < 48; ++b) {
        // A square wave at the low cut-off's end of the band, in phase on both channels.
        for (int i = 0; i < 4096; ++i) block.left[i] = block.right[i] = ((b * 4096 + i) / 480) % 2 ? 1e30f : -1e30f;
        effect.processReplacing(in, out, 4096);
        for (int i = 0; i < 4096; ++i) {
            ASSERT_TRUE(std::isfinite(block.outLeft[i]) && std::isfinite(block.outRight[i])) << b << " " << i;
            peak = std::fmax(peak, std::fabs(block.outLeft[i]));
        }
    }
    // The input reached the engine at full strength (+20 dB and the late network's build-up
    // give about 70 times the limit), and the loudest output is still far from overflowing.
    EXPECT_GT(peak, 10.0 * inputguard::kInputLimit);
    EXPECT_LT(peak, 1e8 * inputguard::kInputLimit);
}

TEST(BadAudio, NonFiniteInputWithNothingElseReachesNoOutput) {
    ReverbEffect effect(nullptr);
    effect.setProgram(1);  // dry on
    Stereo block(300);
    for (int i = 0; i < 300; ++i) block.left[i] = block.right[i] = kNaN;
    float* in[2] = {block.left.data(), block.right.data()};
    float* out[2] = {block.outLeft.data(), block.outRight.data()};
    effect.processReplacing(in, out, 300);
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(std::isfinite(block.outLeft[i]));
        ASSERT_LT(std::fabs(block.outLeft[i]), 1e-6f);  // silence in, only the denormal offset out
    }
}

}  // namespace
