// The parameter list, the program list, and values as texts and plain numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "effect/reverb_program.h"
#include "plugin/vst3/vst3_identity.h"
#include "vst3_host.h"

using namespace testhost;

namespace {

std::u16string wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

double normalisedOf(int index, double physical) {
    const ParameterRange& r = parameterTable[index].range;
    return (physical - r.min) / (static_cast<double>(r.max) - r.min);
}

}  // namespace

TEST(Vst3Parameters, ListsTheTableThenProgramAndBypass) {
    const struct {
        const char* title;
        const char* units;
        int steps;
    } expected[kParameterCount] = {
        {"Pan", "%", 0},    {"Out", "dB", 0},         {"T60", "ms", 0},     {"Damping", "Hz", 0},
        {"Density", "%", 0}, {"Early ref delay", "ms", 0}, {"High cut", "Hz", 0}, {"Low cut", "Hz", 0},
        {"Dry out", "", 1},  {"Sensitivity", "%", 0}, {"Hold", "ms", 0},    {"Room size", "%", 0},
        {"Early ref level", "%", 0},
    };
    Instance plugin;
    ASSERT_EQ(plugin.controller->getParameterCount(), kParameterCount + 2);
    for (int i = 0; i < kParameterCount; ++i) {
        vst3::ParameterInfo info{};
        ASSERT_EQ(plugin.controller->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(utf8(info.title), expected[i].title);
        EXPECT_EQ(utf8(info.shortTitle), expected[i].title);
        EXPECT_EQ(utf8(info.units), expected[i].units) << i;
        EXPECT_EQ(info.stepCount, expected[i].steps) << i;
        EXPECT_EQ(info.defaultNormalizedValue, factoryPrograms[0].values[i]) << i;
        EXPECT_EQ(info.flags, vst3::ParameterInfo::kCanAutomate) << i;
    }
    vst3::ParameterInfo program{}, bypass{}, none{};
    ASSERT_EQ(plugin.controller->getParameterInfo(kParameterCount, program), kResultOk);
    EXPECT_EQ(program.id, vst3id::kProgramId);
    EXPECT_EQ(program.stepCount, kProgramCount - 1);
    EXPECT_EQ(program.flags & (vst3::ParameterInfo::kIsProgramChange | vst3::ParameterInfo::kIsList),
              vst3::ParameterInfo::kIsProgramChange | vst3::ParameterInfo::kIsList);
    ASSERT_EQ(plugin.controller->getParameterInfo(kParameterCount + 1, bypass), kResultOk);
    EXPECT_EQ(bypass.id, vst3id::kBypassId);
    EXPECT_EQ(bypass.stepCount, 1);
    EXPECT_EQ(bypass.flags, vst3::ParameterInfo::kIsBypass | vst3::ParameterInfo::kCanAutomate);
    EXPECT_EQ(plugin.controller->getParameterInfo(kParameterCount + 2, none), kInvalidArgument);
    EXPECT_EQ(plugin.controller->getParameterInfo(-1, none), kInvalidArgument);
}

TEST(Vst3Parameters, ProgramListHoldsTheFactoryNames) {
    Instance plugin;
    UnitInfo unit{};
    ASSERT_EQ(plugin.units->getUnitInfo(0, unit), kResultOk);
    ProgramListInfo list{};
    ASSERT_EQ(plugin.units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(unit.programListId, list.id);
    EXPECT_EQ(list.programCount, kProgramCount);
    for (int p = 0; p < kProgramCount; ++p) {
        String128 name{};
        ASSERT_EQ(plugin.units->getProgramName(list.id, p, name), kResultOk);
        EXPECT_EQ(utf8(name), trimmed(factoryPrograms[p].name));
    }
    String128 name{};
    EXPECT_EQ(plugin.units->getProgramName(list.id, kProgramCount, name), kInvalidArgument);
}

TEST(Vst3Parameters, ValueToText) {
    const struct {
        ParamID id;
        double value;
        const char* text;
    } cases[] = {
        {kT60, 0.3f, "2170.000 ms"},       {kOut, 0.75f, "0.000 dB"},  {kPan, 0.5f, "0.000 %"},
        {kHighCut, 1.0, "20000.000 Hz"},   {kDryOut, 0.0, "off"},      {kDryOut, 1.0, "on"},
        {kT60, 7.0, "7000.000 ms"},  // held to the range
        {vst3id::kProgramId, 2.0 / 7, "Huge Hall"}, {vst3id::kProgramId, 1.0, "Bathroom"},
        {vst3id::kBypassId, 1.0, "on"},    {vst3id::kBypassId, 0.0, "off"},
    };
    Instance plugin;
    for (const auto& c : cases) {
        String128 text{};
        ASSERT_EQ(plugin.controller->getParamStringByValue(c.id, c.value, text), kResultOk) << c.text;
        EXPECT_EQ(utf8(text), c.text);
    }
    String128 text{};
    EXPECT_EQ(plugin.controller->getParamStringByValue(999, 0.5, text), kInvalidArgument);
}

TEST(Vst3Parameters, TextToValue) {
    const double t2500 = normalisedOf(kT60, 2500.0);
    const struct {
        ParamID id;
        const char* text;
        bool accepted;
        double value;
    } cases[] = {
        {kT60, "2.5 s", true, t2500},     {kT60, "2500", true, t2500},      {kT60, "2500 ms", true, t2500},
        {kT60, "  2500MS ", true, t2500}, {kT60, "8000 ms", true, 1.0},     {kT60, "5", true, 0.0},
        {kOut, "-6 dB", true, normalisedOf(kOut, -6.0)}, {kOut, "-6", true, normalisedOf(kOut, -6.0)},
        {kHighCut, "12 kHz", true, normalisedOf(kHighCut, 12000.0)},
        {kHighCut, "12000 Hz", true, normalisedOf(kHighCut, 12000.0)},
        {kDensity, "25 %", true, 0.25},   {kDryOut, "on", true, 1.0},       {kDryOut, "OFF", true, 0.0},
        {kDryOut, "1", true, 1.0},        {kDryOut, "0", true, 0.0},
        {vst3id::kProgramId, "Room", true, 3.0 / 7},  {vst3id::kBypassId, "on", true, 1.0},
        {kT60, "abc", false, 0},          {kT60, "", false, 0},             {kT60, "nan", false, 0},
        {kT60, "inf", false, 0},          {kT60, "2500 msx", false, 0},     {kT60, "2500 Hz", false, 0},
        {kT60, "2.5.3", false, 0},        {kT60, "1e", false, 0},           {kT60, "--5", false, 0},
        {kDryOut, "maybe", false, 0},     {kDryOut, "2", false, 0},         {vst3id::kProgramId, "Cave", false, 0},
    };
    Instance plugin;
    for (const auto& c : cases) {
        std::u16string text = wide(c.text);
        ParamValue value = -1.0;
        const tresult result = plugin.controller->getParamValueByString(c.id, text.data(), value);
        EXPECT_EQ(result, c.accepted ? kResultOk : kResultFalse) << c.text;
        EXPECT_NEAR(value, c.accepted ? c.value : -1.0, 1e-6) << c.text;  // a refused text leaves it alone
    }
}

TEST(Vst3Parameters, PlainValuesFollowTheRanges) {
    const struct {
        ParamID id;
        double normalized, plain;
    } cases[] = {
        {kT60, 0.5, 3550.0},    {kOut, 0.75, 0.0},    {kLowCut, 0.0, 0.1f},
        {vst3id::kProgramId, 3.0 / 7, 3.0}, {vst3id::kProgramId, 1.0, 7.0}, {vst3id::kBypassId, 1.0, 1.0},
    };
    Instance plugin;
    for (const auto& c : cases) {
        EXPECT_NEAR(plugin.controller->normalizedParamToPlain(c.id, c.normalized), c.plain, 1e-4) << c.id;
        EXPECT_NEAR(plugin.controller->plainParamToNormalized(c.id, c.plain), c.normalized, 1e-6) << c.id;
    }
}

TEST(Vst3Parameters, ControllerValuesAreTheRenderedOnes) {
    Instance plugin;
    ASSERT_EQ(plugin.controller->setParamNormalized(kT60, 0.4), kResultOk);
    EXPECT_EQ(plugin.controller->getParamNormalized(kT60), 0.4f);
    EXPECT_EQ(plugin.controller->setParamNormalized(kT60, std::nan("")), kInvalidArgument);
    EXPECT_EQ(plugin.controller->getParamNormalized(kT60), 0.4f);
    ASSERT_EQ(plugin.controller->setParamNormalized(vst3id::kProgramId, 5.0 / 7), kResultOk);
    EXPECT_EQ(plugin.controller->getParamNormalized(vst3id::kProgramId), 5.0 / 7);
    for (int i = 0; i < kParameterCount; ++i)
        EXPECT_EQ(plugin.controller->getParamNormalized(static_cast<ParamID>(i)), factoryPrograms[5].values[i]);
    EXPECT_EQ(plugin.controller->setParamNormalized(999, 0.5), kInvalidArgument);
}
