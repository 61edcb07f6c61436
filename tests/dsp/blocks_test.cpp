#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "dsp/allpass_delay.h"
#include "dsp/damped_delay.h"
#include "dsp/denormal_noise.h"
#include "dsp/one_pole_filter.h"
#include "dsp/reference_reverb.h"

namespace {

// Fills every slot of a damped line (coefficient 0, gain 1) with its index + 1.
void fillWithIndices(DampedDelay& line) {
    line.setLength(line.capacity());
    for (int32_t i = 0; i < line.capacity(); ++i) line.write(static_cast<float>(i + 1));
}

// Steps once around the active length from the current position, reading before writing
// back what was read (coefficient 0, gain 1 keep it unchanged).
std::vector<float> contents(DampedDelay& line) {
    std::vector<float> out;
    for (int32_t i = 0; i < line.length(); ++i) {
        out.push_back(line.read());
        line.write(out.back());
    }
    return out;
}

}  // namespace

TEST(DelayBuffer, FirstAllocateStoresLengthUnclampedAndZeroes) {
    DampedDelay line;
    EXPECT_FALSE(line.allocated());
    EXPECT_EQ(line.gain(), 1.0f);
    ASSERT_TRUE(line.allocate(50, 10, 0.25f));
    EXPECT_EQ(line.length(), 50);
    EXPECT_EQ(line.capacity(), 10);
    EXPECT_EQ(line.gain(), 0.25f);
    line.setGain(1.0f);
    line.setLength(10);
    for (float v : contents(line)) EXPECT_EQ(v, 0.0f);
}

TEST(DelayBuffer, SecondAllocateKeepsStorageAndCapsLength) {
    DampedDelay line;
    ASSERT_TRUE(line.allocate(0, 8, 1.0f));
    fillWithIndices(line);
    ASSERT_TRUE(line.allocate(5, 999, 1.0f));
    EXPECT_EQ(line.length(), 5);
    ASSERT_TRUE(line.allocate(100, 999, -3.0f));
    EXPECT_EQ(line.capacity(), 8);
    EXPECT_EQ(line.length(), 8);
    EXPECT_EQ(line.gain(), -3.0f);  // no clamp on the way in
    line.setGain(1.0f);
    const std::vector<float> kept = contents(line);
    const std::vector<float> expected = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(kept, expected);
}

TEST(DelayBuffer, AllocateReportsImpossibleStorage) {
    AllpassDelay empty;
    EXPECT_FALSE(empty.allocate(0, 0, 0.5f));
    EXPECT_FALSE(empty.allocated());
    EXPECT_FALSE(empty.allocate(0, -5, 0.5f));
    EXPECT_FALSE(empty.allocated());
}

TEST(DelayBuffer, SetLengthClearsFromOldLengthAndCapsAtCapacity) {
    DampedDelay line;
    ASSERT_TRUE(line.allocate(0, 10, 1.0f));
    fillWithIndices(line);
    line.setLength(4);  // clears nothing: the old length was the capacity
    EXPECT_EQ(line.length(), 4);
    line.setLength(2);    // clears 4..9; 2 and 3 stay until the next setLength
    line.setLength(500);  // clears 2..9: growing shows only zeros
    EXPECT_EQ(line.length(), 10);
    const std::vector<float> after = contents(line);
    const std::vector<float> expected = {1, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(after, expected);
}

TEST(DelayBuffer, ShrinkBelowPositionFinishesThatSlotThenWraps) {
    DampedDelay line;
    ASSERT_TRUE(line.allocate(0, 10, 1.0f));
    line.setLength(10);
    for (int i = 0; i < 7; ++i) line.write(static_cast<float>(i + 1));
    ASSERT_EQ(line.position(), 7);
    line.setLength(3);
    EXPECT_EQ(line.position(), 7);
    EXPECT_EQ(line.read(), 0.0f);  // slot 7 was never written
    line.write(42.0f);
    EXPECT_EQ(line.position(), 0);
    EXPECT_EQ(line.read(), 1.0f);
    line.write(0.0f);
    line.write(0.0f);
    line.write(0.0f);
    EXPECT_EQ(line.position(), 0);
}

TEST(AllpassDelay, GainZeroIsAPureDelay) {
    AllpassDelay allpass;
    ASSERT_TRUE(allpass.allocate(0, 16, 0.0f));
    allpass.setLength(5);
    for (int n = 0; n < 20; ++n) {
        allpass.process(n == 3 ? 1.0f : 0.0f);
        EXPECT_EQ(allpass.output(), n == 8 ? 1.0f : 0.0f) << n;
    }
}

TEST(AllpassDelay, ImpulseResponseFollowsTheAllpass) {
    AllpassDelay allpass;
    ASSERT_TRUE(allpass.allocate(0, 16, 0.0f));
    allpass.setLength(4);
    const float g = 0.6f;
    allpass.setGain(g);
    std::vector<float> response;
    for (int n = 0; n < 12; ++n) {
        allpass.process(n == 0 ? 1.0f : 0.0f);
        response.push_back(allpass.output());
    }
    EXPECT_FLOAT_EQ(response[0], -g);
    EXPECT_FLOAT_EQ(response[4], 1.0f - g * g);
    EXPECT_FLOAT_EQ(response[8], g * (1.0f - g * g));
    for (int n : {1, 2, 3, 5, 6, 7, 9, 10, 11}) EXPECT_EQ(response[n], 0.0f) << n;
}

TEST(AllpassDelay, LengthZeroOrOneDelaysByOneStep) {
    for (int32_t length : {0, 1}) {
        AllpassDelay allpass;
        ASSERT_TRUE(allpass.allocate(length, 4, 0.0f));
        allpass.process(1.0f);
        EXPECT_EQ(allpass.output(), 0.0f);
        allpass.process(0.0f);
        EXPECT_EQ(allpass.output(), 1.0f);
        EXPECT_EQ(allpass.position(), 0);
    }
}

TEST(AllpassDelay, GainIsHeldInsideTheUnitCircle) {
    AllpassDelay allpass;
    allpass.setGain(1.5f);
    EXPECT_EQ(allpass.gain(), 0.9998999834060669f);
    allpass.setGain(-2.0f);
    EXPECT_EQ(allpass.gain(), -0.9998999834060669f);
    allpass.setGain(std::nanf(""));
    EXPECT_EQ(allpass.gain(), -0.9998999834060669f);
    allpass.setGain(0.9998999834060669f);
    EXPECT_EQ(allpass.gain(), 0.9998999834060669f);
    allpass.setGain(-0.25f);
    EXPECT_EQ(allpass.gain(), -0.25f);
    // allocate sets the gain without the clamp
    ASSERT_TRUE(allpass.allocate(0, 4, 3.0f));
    EXPECT_EQ(allpass.gain(), 3.0f);
}

TEST(DampedDelay, ReadBeforeWriteDelaysByTheLength) {
    DampedDelay line;
    ASSERT_TRUE(line.allocate(0, 32, 1.0f));
    line.setLength(7);
    for (int n = 0; n < 30; ++n) {
        const float out = line.read();
        line.write(static_cast<float>(n + 1));
        EXPECT_EQ(out, n >= 7 ? static_cast<float>(n - 7 + 1) : 0.0f) << n;
    }
}

TEST(DampedDelay, ReadAfterWriteDelaysByOneLess) {
    for (int32_t length : {0, 1, 2, 7}) {
        DampedDelay line;
        ASSERT_TRUE(line.allocate(0, 32, 1.0f));
        line.setLength(length);
        const int lag = length > 1 ? length - 1 : 0;
        for (int n = 0; n < 20; ++n) {
            line.write(static_cast<float>(n + 1));
            EXPECT_EQ(line.read(), n >= lag ? static_cast<float>(n - lag + 1) : 0.0f)
                << "length " << length << " step " << n;
        }
    }
}

TEST(DampedDelay, FiltersThenScalesOnTheWayIn) {
    DampedDelay line;
    ASSERT_TRUE(line.allocate(0, 4, 0.5f));
    line.setCutoff(4000.0f, 44100);
    const float c = line.coefficient();
    line.setLength(1);
    line.write(1.0f);
    EXPECT_EQ(line.read(), ((1.0f - c) * 1.0f + c * 0.0f) * 0.5f);
    const float state = (1.0f - c) * 1.0f;
    line.write(0.0f);
    EXPECT_EQ(line.read(), ((1.0f - c) * 0.0f + c * state) * 0.5f);
}

// Every setCutoff gives the bits of exp(−2π f / sr) with the float 2π and the rest in double,
// at cutoffs and rates where a single-precision 2π f rounds differently.
TEST(OnePoleFilter, CutoffCoefficientsAreExactAtEveryRate) {
    EXPECT_NEAR(cutoffCoefficient(4000.0f, 44100), 0.56558, 5e-6);
    EXPECT_NEAR(cutoffCoefficient(150.0f, 44100), 0.97886, 5e-6);
    EXPECT_NEAR(cutoffCoefficient(10000.0f, 44100), 0.24057, 5e-6);
    const float cutoffs[] = {10.0f,   150.0f,   150.085f, 999.0f,   3251.0f,  4000.08f,
                             6500.0f, 8554.48f, 10000.0f, 14816.8f, 20000.0f, 40000.0f};
    for (int32_t rate : {5000, 22050, 44100, 48000, 88200, 96000}) {
        for (float f : cutoffs) {
            const float want = reference::cutoffCoefficient(f, rate);
            OnePoleFilter filter;
            filter.setCutoff(f, rate);
            DampedDelay line;
            line.setCutoff(f, rate);
            EXPECT_EQ(cutoffCoefficient(f, rate), want) << f << " Hz at " << rate;
            EXPECT_EQ(filter.coefficient(), want) << f << " Hz at " << rate;
            EXPECT_EQ(line.coefficient(), want) << f << " Hz at " << rate;
        }
    }
}

TEST(OnePoleFilter, UnityAtDcAndTransparentWithZeroCoefficient) {
    OnePoleFilter filter;
    filter.process(0.3f);
    EXPECT_EQ(filter.output(), 0.3f);  // c starts at 0
    filter.setCutoff(150.0f, 44100);
    for (int n = 0; n < 20000; ++n) filter.process(1.0f);
    EXPECT_NEAR(filter.output(), 1.0f, 1e-5f);
}

TEST(DenormalNoise, SixteenOffsetsEvenlySpreadNeverZero) {
    DenormalNoise noise;
    std::map<float, int> counts;
    const int draws = 160000;
    for (int n = 0; n < draws; ++n) {
        const float offset = noise.next();
        ASSERT_NE(offset, 0.0f);
        ASSERT_LE(std::fabs(offset), 7.5e-8f);
        ++counts[offset];
    }
    ASSERT_EQ(counts.size(), 16u);
    for (int r = 0; r < 16; ++r) {
        const float expected = (static_cast<float>(r) - 7.5f) * 1e-8f;
        ASSERT_EQ(counts.count(expected), 1u) << r;
        EXPECT_NEAR(counts[expected], draws / 16, draws / 16 / 10) << r;
    }
}

TEST(DenormalNoise, SameSequenceForEveryInstance) {
    DenormalNoise a, b;
    for (int n = 0; n < 100; ++n) EXPECT_EQ(a.next(), b.next());
}
