#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "dsp/portable_math.h"

namespace {

// The coefficients need exp and 10^x to double precision; any error near one ulp would
// move float results, anything larger would show in the worked values.
TEST(PortableMath, ExpAgreesWithTheLibraryToAFewUlps) {
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> range(-60.0, 40.0);
    double worst = 0.0;
    for (int i = 0; i < 200000; ++i) {
        const double x = range(random);
        const double expected = std::exp(x);
        worst = std::max(worst, std::fabs(portable::exp(x) - expected) / expected);
    }
    EXPECT_LT(worst, 4e-16);
    EXPECT_EQ(portable::exp(0.0), 1.0);
    EXPECT_EQ(portable::exp(-1000.0), 0.0);
    EXPECT_EQ(portable::exp(1000.0), std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(portable::exp(std::nan(""))));
    EXPECT_NEAR(portable::exp(-700.0) / std::exp(-700.0), 1.0, 1e-15);
}

TEST(PortableMath, PowersOfTenForDecibels) {
    EXPECT_NEAR(portable::pow10(-3.0), 0.001, 1e-18);
    EXPECT_NEAR(portable::pow10(1.0), 10.0, 1e-14);
    EXPECT_EQ(static_cast<float>(portable::pow10(0.0)), 1.0f);
    EXPECT_EQ(static_cast<float>(portable::pow10(-60 * 0.05)), 0.001f);
    for (double x = -6.0; x <= 6.0; x += 0.01) EXPECT_NEAR(portable::pow10(x) / std::pow(10.0, x), 1.0, 4e-16) << x;
}

// exp's rounding and scaling steps stand in for nearbyint and ldexp: they must agree with
// them exactly, ties, overflow and gradual underflow included.
TEST(PortableMath, RoundingAndScalingMatchTheLibrary) {
    for (double x : {0.5, 1.5, 2.5, -0.5, -2.5, 1074.49, -1075.5, 1e15, -3.0000001})
        EXPECT_EQ(portable::roundToInteger(x), std::nearbyint(x)) << x;
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> mantissa(0.7, 1.42);
    std::uniform_int_distribution<int> power(-1080, 1030);
    for (int i = 0; i < 100000; ++i) {
        const double x = mantissa(random);
        const int n = power(random);
        EXPECT_EQ(portable::timesPowerOfTwo(x, n), std::ldexp(x, n)) << x << " * 2^" << n;
    }
}

}  // namespace
