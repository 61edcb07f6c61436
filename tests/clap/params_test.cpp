// The thirteen parameters as a CLAP host sees them: ids and names from the table, ranges in
// the table's physical units, texts both ways, and values that hold what they were set to.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "clap_host.h"
#include "effect/parameter_text.h"
#include "effect/reverb_program.h"

using namespace testhost;

TEST(ClapParams, InfoComesFromTheTable) {
    Instance plugin;
    const PluginParams& params = plugin.params();
    ASSERT_EQ(params.count(plugin.plugin), static_cast<std::uint32_t>(kParameterCount));
    for (int i = 0; i < kParameterCount; ++i) {
        ParamInfo info{};
        ASSERT_TRUE(params.getInfo(plugin.plugin, i, &info));
        const ParameterRange& range = parameterTable[i].range;
        EXPECT_EQ(info.id, static_cast<Id>(i));
        EXPECT_EQ(info.name, parameterTitle(i));
        EXPECT_STREQ(info.module, "");
        EXPECT_DOUBLE_EQ(info.minValue, range.min) << info.name;
        EXPECT_DOUBLE_EQ(info.maxValue, range.max) << info.name;
        EXPECT_DOUBLE_EQ(range.normalise(info.defaultValue), factoryPrograms[0].values[i]) << info.name;
        EXPECT_EQ(info.flags, kParamIsAutomatable | (i == kDryOut ? kParamIsStepped : 0u)) << info.name;
        EXPECT_DOUBLE_EQ(plugin.value(i), info.defaultValue) << info.name;
    }
    ParamInfo info{};
    EXPECT_FALSE(params.getInfo(plugin.plugin, kParameterCount, &info));
    double value;
    EXPECT_FALSE(params.getValue(plugin.plugin, kParameterCount, &value));
}

TEST(ClapParams, ValueToTextInPlainUnits) {
    const struct {
        Id id;
        double plain;
        const char* text;
    } cases[] = {
        {kT60, 2170.0, "2170.000 ms"},       {kOut, 0.0, "0.000 dB"}, {kPan, 0.0, "0.000 %"},
        {kHighCut, 20000.0, "20000.000 Hz"}, {kDryOut, 0.0, "off"},   {kDryOut, 1.0, "on"},
        {kT60, 9000.0, "7000.000 ms"},  // held to the range
        {kOut, -99.0, "-60.000 dB"},
    };
    Instance plugin;
    for (const auto& c : cases) {
        char text[64] = "untouched";
        ASSERT_TRUE(plugin.params().valueToText(plugin.plugin, c.id, c.plain, text, sizeof text)) << c.text;
        EXPECT_STREQ(text, c.text);
    }
    char text[8] = "";
    EXPECT_FALSE(plugin.params().valueToText(plugin.plugin, kT60, 2170.0, text, 4));  // too small for the text
    EXPECT_FALSE(plugin.params().valueToText(plugin.plugin, kT60, std::nan(""), text, sizeof text));
    EXPECT_FALSE(plugin.params().valueToText(plugin.plugin, kParameterCount, 0.0, text, sizeof text));
}

TEST(ClapParams, TextToValueInPlainUnits) {
    const struct {
        Id id;
        const char* text;
        bool ok;
        double plain;
    } cases[] = {
        {kT60, "2.5 s", true, 2500.0},
        {kT60, "2500", true, 2500.0},
        {kT60, "8000 ms", true, 7000.0},
        {kOut, "-6 dB", true, -6.0},
        {kHighCut, "12 kHz", true, 12000.0},
        {kDryOut, "on", true, 1.0},
        {kDryOut, "0", true, 0.0},
        {kDensity, "-5 %", true, 0.0},
        {kT60, "abc", false, 0},
        {kT60, "", false, 0},
        {kT60, "nan", false, 0},
        {kT60, "2500 Hz", false, 0},
        {kDryOut, "maybe", false, 0},
        {kParameterCount, "1", false, 0},
    };
    Instance plugin;
    for (const auto& c : cases) {
        double plain = -12345.0;
        EXPECT_EQ(plugin.params().textToValue(plugin.plugin, c.id, c.text, &plain), c.ok) << c.text;
        if (c.ok)
            EXPECT_NEAR(plain, c.plain, 1e-6 * (std::fabs(c.plain) + 1.0)) << c.text;
        else
            EXPECT_EQ(plain, -12345.0) << c.text;
    }
}
