// exp and 10^x in plain double arithmetic. Each platform's maths library rounds its last
// bit its own way; computing these here makes every build derive the same coefficients,
// and so the same output bits, from the same settings.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace portable {

// A double truncated toward zero into 32 bits: NaN gives 0, and values beyond the range
// saturate instead of overflowing.
inline int32_t truncateToInt32(double value) {
    if (value != value) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// Round to the nearest integer, ties to even, as nearbyint does in the default rounding
// mode, for |x| < 2^51: adding 1.5 * 2^52 leaves no fraction bits to keep.
inline double roundToInteger(double x) {
    constexpr double kShift = 6755399441055744.0;
    return (x + kShift) - kShift;
}

// x * 2^n, as ldexp gives it. Where 2^n is a normal double the one multiplication rounds
// exactly as ldexp does, overflow and gradual underflow included.
inline double timesPowerOfTwo(double x, int n) {
    if (n < -1022 || n > 1023) return std::ldexp(x, n);
    const uint64_t bits = static_cast<uint64_t>(n + 1023) << 52;
    double scale;
    std::memcpy(&scale, &bits, sizeof scale);
    return x * scale;
}

inline double exp(double x) {
    if (x != x) return x;
    if (x > 709.78) return std::numeric_limits<double>::infinity();
    if (x < -745.2) return 0.0;
    // x = k ln2 + r with |r| <= ln2 / 2; ln2 split so that k * ln2High is exact.
    constexpr double kLn2High = 6.93147180369123816490e-01;
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    constexpr double kInvLn2 = 1.44269504088896338700e+00;
    const double k = roundToInteger(x * kInvLn2);
    const double r = (x - k * kLn2High) - k * kLn2Low;
    // Taylor series to r^13 / 13!: well below one ulp for |r| <= 0.347.
    double sum = 1.0 / 6227020800.0;
    constexpr double kInverseFactorials[] = {
        1.0 / 479001600.0, 1.0 / 39916800.0, 1.0 / 3628800.0, 1.0 / 362880.0, 1.0 / 40320.0, 1.0 / 5040.0, 1.0 / 720.0,
        1.0 / 120.0,       1.0 / 24.0,       1.0 / 6.0,       1.0 / 2.0,      1.0,           1.0};
    for (double coefficient : kInverseFactorials) sum = sum * r + coefficient;
    return timesPowerOfTwo(sum, static_cast<int>(k));
}

// 10^x, as the decibel and decay-gain conversions need it. The product x ln10 is carried
// with its rounding error (Dekker's exact product), which exp then folds back in.
inline double pow10(double x) {
    constexpr double kLn10 = 2.30258509299404568402e+00;
    constexpr double kLn10Low = -2.1707562233822494e-16;  // ln10 - kLn10
    auto split = [](double v, double& high, double& low) {
        const double t = v * 134217729.0;  // 2^27 + 1
        high = t - (t - v);
        low = v - high;
    };
    const double product = x * kLn10;
    double xh, xl, lh, ll;
    split(x, xh, xl);
    split(kLn10, lh, ll);
    const double error = ((xh * lh - product) + xh * ll + xl * lh) + xl * ll;
    const double correction = error + x * kLn10Low;
    const double base = exp(product);
    return base + base * correction;
}

}  // namespace portable
