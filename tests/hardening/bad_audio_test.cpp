// Input no sane host sends: NaN and infinite samples, and finite samples far beyond any
// audio level. They must not poison the reverb for good, and ordinary input must sound
// exactly as it did before the effect learned to look out for them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "hardening/hardening_support.h"

namespace {

using hardening::Measure;
using hardening::Noise;
using hardening::Stereo;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// The audio callback as it was before the input check: the block goes straight to the engine.
class UncheckedCore : public ReverbCore {
public:
    void renderUnchecked(float** in, float** out, int frames, bool accumulate) {
        takeOverChanges();
        const float offset = noise_.next();
        if (frames <= 0) return;
        float peak = 0.0f;
        engine_.processBlock(in[0], in[1], out[0], out[1], frames, offset, accumulate, peak);
    }
};

// Runs the same blocks through the core and through the unchecked copy and expects the
// same bits out, block size after block size.
void expectIdentical(int program, float amplitude, bool accumulate, float rate) {
    ReverbCore checked;
    UncheckedCore unchecked;
    for (ReverbCore* core : {&checked, static_cast<ReverbCore*>(&unchecked)}) {
        core->setSampleRate(rate);
        core->setProgram(program);
        core->resume();
    }
    Noise noise(7u + program);
    const int sizes[] = {1, 3, 64, 256, 257, 1000, 4097};
    for (int round = 0; round < 3; ++round) {
        for (int frames : sizes) {
            Stereo a(frames), b(frames);
            a.fillNoise(noise, amplitude);
            b.left = a.left, b.right = a.right;
            for (int i = 0; i < frames; ++i) a.outLeft[i] = b.outLeft[i] = a.outRight[i] = b.outRight[i] = 0.25f;
            float* inA[2] = {a.left.data(), a.right.data()};
            float* outA[2] = {a.outLeft.data(), a.outRight.data()};
            float* inB[2] = {b.left.data(), b.right.data()};
            float* outB[2] = {b.outLeft.data(), b.outRight.data()};
            checked.render(inA[0], inA[1], outA[0], outA[1], frames, accumulate);
            unchecked.renderUnchecked(inB, outB, frames, accumulate);
            ASSERT_EQ(std::memcmp(a.outLeft.data(), b.outLeft.data(), frames * sizeof(float)), 0)
                << "program " << program << ", " << frames << " frames";
            ASSERT_EQ(std::memcmp(a.outRight.data(), b.outRight.data(), frames * sizeof(float)), 0)
                << "program " << program << ", " << frames << " frames";
        }
    }
}

TEST(BadAudio, FiniteInputGivesTheSameBitsAsWithoutTheCheck) {
    for (int program = 0; program < kProgramCount; ++program) {
        expectIdentical(program, 0.5f, false, 44100.0f);
        expectIdentical(program, 0.5f, true, 48000.0f);
    }
    // Loud but finite input, up to the limit the check lets through, is not touched either.
    expectIdentical(4, 1e6f, false, 44100.0f);
    expectIdentical(1, 1e20f, false, 96000.0f);
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
    RecordProperty("peak_over_limit", std::to_string(peak / 1e20));
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
