// The lanes give, lane by lane, exactly what the one-frame arithmetic gives, on whichever
// back end this build uses: bits compared, NaN and signed zeros included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "dsp/lanes.h"

namespace {

uint32_t bitsOf(float x) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

void expectLanes(lanes::Lanes v, const float (&expected)[4]) {
    for (int j = 0; j < 4; ++j) EXPECT_EQ(bitsOf(v[j]), bitsOf(expected[j])) << "lane " << j;
}

TEST(Lanes, LargestMagnitudeAndMasksAgreeWithOneFrame) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float a[4] = {nan, 1.0f, -0.0f, -3.0f};
    const float b[4] = {2.0f, nan, 0.0f, 1e-40f};
    const lanes::Lanes x{a[0], a[1], a[2], a[3]}, y{b[0], b[1], b[2], b[3]};
    float largest[4], magnitude[4], picked[4];
    for (int j = 0; j < 4; ++j) {
        largest[j] = a[j] > b[j] ? a[j] : b[j];
        magnitude[j] = std::fabs(a[j]);
        picked[j] = a[j] > b[j] ? b[j] : 0.0f;
    }
    expectLanes(lanes::largest(x, y), largest);
    expectLanes(lanes::magnitude(x), magnitude);
    expectLanes(lanes::where(x > y, y), picked);
    EXPECT_FALSE(lanes::any(x > y));  // NaN either side, and −0 > 0, are false
    EXPECT_TRUE(lanes::any(y > x));   // only in the last lane
}

TEST(Lanes, TransposeGatherAndSpreadMoveLanes) {
    lanes::Lanes r[4];
    for (int i = 0; i < 4; ++i) r[i] = lanes::Lanes{4.0f * i, 4.0f * i + 1, 4.0f * i + 2, 4.0f * i + 3};
    const lanes::Lanes g = lanes::gather(r[3], r[2], r[1], r[0]);
    expectLanes(g, {12.0f, 8.0f, 4.0f, 0.0f});
    expectLanes(lanes::spread<2>(r[1]), {6.0f, 6.0f, 6.0f, 6.0f});
    lanes::transpose(r[0], r[1], r[2], r[3]);
    for (int i = 0; i < 4; ++i) expectLanes(r[i], {static_cast<float>(i), 4.0f + i, 8.0f + i, 12.0f + i});
}

}  // namespace
