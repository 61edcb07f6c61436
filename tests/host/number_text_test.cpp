#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "test_effect.h"

namespace {

class NumberText : public ::testing::Test {
protected:
    std::string floatText(float value) {
        fill();
        effect.floatToString(value, text);
        return text;
    }
    std::string longText(VstInt32 value) {
        fill();
        effect.longToString(value, text);
        return text;
    }
    void fill() { std::memset(text, '#', sizeof text - 1), text[sizeof text - 1] = '\0'; }
    TestEffect effect{nullptr};
    char text[32];
};

TEST_F(NumberText, FloatExamples) {
    EXPECT_EQ(floatText(0.0f), "0.000000");
    EXPECT_EQ(floatText(-0.0f), "0.000000");
    EXPECT_EQ(floatText(1.5f), "1.500000");
    EXPECT_EQ(floatText(-2.25f), "-2.25000");
    EXPECT_EQ(floatText(123.456f), "123.4560");
    EXPECT_EQ(floatText(0.001f), "0.001000");
    EXPECT_EQ(floatText(1234567.0f), "1234567.");
    EXPECT_EQ(floatText(-999999.0f), "-999999.");
}

TEST_F(NumberText, FloatOutsideTheBudget) {
    EXPECT_EQ(floatText(100000000.0f), "Huge!");
    EXPECT_EQ(floatText(-10000000.0f), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(std::nanf("")), "NaN");
    // Integer parts one digit too long for eight characters would lose their leading digit.
    EXPECT_EQ(floatText(12345678.0f), "Huge!");
    EXPECT_EQ(floatText(-1234567.0f), "Huge!");
}

TEST_F(NumberText, FloatTextsFitAndReadBackClose) {
    // Truncated, never rounded: the text is at most one unit of its last digit below.
    for (int step = 0; step < 4000; ++step) {
        const double magnitude = std::pow(10.0, -3.0 + step * 0.0025);  // 0.001 .. 1e7
        for (float value : {static_cast<float>(magnitude), static_cast<float>(-magnitude / 10.0)}) {
            const std::string shown = floatText(value);
            if (shown == "Huge!") {
                EXPECT_GE(std::fabs(value), value < 0 ? 999999.0f : 9999999.0f) << value;
                continue;
            }
            ASSERT_LE(shown.size(), 8u) << value;
            const std::size_t point = shown.find('.');
            ASSERT_NE(point, std::string::npos) << shown;
            const double unit = std::pow(10.0, -static_cast<double>(shown.size() - point - 1));
            const double readBack = std::strtod(shown.c_str(), nullptr);
            EXPECT_LE(std::fabs(readBack), std::fabs(value) + 1e-9 * std::fabs(value)) << value << " " << shown;
            EXPECT_GE(std::fabs(readBack), std::fabs(value) - unit * 1.0001) << value << " " << shown;
        }
    }
}

TEST_F(NumberText, LongExamples) {
    EXPECT_EQ(longText(42), "     42");
    EXPECT_EQ(longText(-42), "    -42");
    EXPECT_EQ(longText(0), "      0");
    EXPECT_EQ(longText(12345678), "12345678");
    EXPECT_EQ(longText(99999999), "99999999");
    EXPECT_EQ(longText(100000000), "Huge!");
    EXPECT_EQ(longText(-9999999), "-9999999");
    EXPECT_EQ(longText(-10000000), "Huge!");
    EXPECT_EQ(longText(std::numeric_limits<VstInt32>::min()), "Huge!");
}

TEST_F(NumberText, UnitTexts) {
    effect.dbToString(0.0f, text);
    EXPECT_STREQ(text, "-oo");
    effect.dbToString(-1.0f, text);
    EXPECT_STREQ(text, "-oo");
    effect.dbToString(1.0f, text);
    EXPECT_STREQ(text, "0.000000");
    effect.dbToString(10.0f, text);
    EXPECT_STREQ(text, "20.00000");
    effect.dbToString(0.5f, text);
    EXPECT_STREQ(text, "-6.02059");

    effect.hzToString(100.0f, text);
    EXPECT_STREQ(text, "441.0000");
    effect.hzToString(0.0f, text);
    EXPECT_STREQ(text, "0.000000");
    effect.msToString(441.0f, text);
    EXPECT_STREQ(text, "10.00000");
    effect.setSampleRate(0.0f);
    effect.msToString(441.0f, text);
    EXPECT_STREQ(text, "0.000000");
}

TEST_F(NumberText, NullTextIsLeftAlone) {
    effect.floatToString(1.0f, nullptr);
    effect.longToString(1, nullptr);
    effect.dbToString(0.0f, nullptr);
    effect.dbToString(1.0f, nullptr);
    effect.hzToString(1.0f, nullptr);
    effect.msToString(1.0f, nullptr);
    EXPECT_EQ(floatText(2.0f), "2.000000");  // and the effect still works afterwards
}

}  // namespace
