#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>

#include "effect/parameter_table.h"
#include "effect/reverb_program.h"

namespace {

std::string hostDisplay(int index, float v) {
    char text[64] = "untouched";
    formatHostDisplay(index, v, text, sizeof text);
    return text;
}

std::string panel(int index, float v) {
    char text[256] = "untouched";
    formatPanelDisplay(index, v, text, sizeof text);
    return text;
}

TEST(ParameterTable, NamesAndLabelsFitTheirSlotsWithTheirFill) {
    const char* names[] = {"Pan            ", "Out            ", "T60\t\t\t",       "Damping        ",
                           "Density        ", "Early ref delay", "High cut       ", "Low cut        ",
                           "Dry out\t\t",     "Sensitivity    ", "Hold           ", "Room size\t\t",
                           "Early ref level"};
    for (int i = 0; i < kParameterCount; ++i) {
        EXPECT_STREQ(parameterTable[i].name, names[i]) << i;
        EXPECT_LT(std::strlen(parameterTable[i].name), kParameterTextSize) << i;
        EXPECT_LT(std::strlen(parameterTable[i].label), kParameterTextSize) << i;
    }
    EXPECT_STREQ(parameterTable[kT60].label, "ms\t\t\t\t");
    EXPECT_STREQ(parameterTable[kDryOut].label, "\t\t\t\t");
    EXPECT_STREQ(parameterTable[kOut].label, "dB             ");
    EXPECT_EQ(std::strlen(parameterTable[kPan].label), 15u);
}

TEST(ParameterTable, HostDisplayPrintsThePhysicalValueWithThreeDecimals) {
    EXPECT_EQ(hostDisplay(kOut, 0.75f), "0.000");
    EXPECT_EQ(hostDisplay(kT60, 0.3f), "2170.000");
    EXPECT_EQ(hostDisplay(kHighCut, 0.2f), "4000.080");
    EXPECT_EQ(hostDisplay(kDryOut, 1.0f), "1.000");
    EXPECT_EQ(hostDisplay(kOut, 0.999f), "19.920");
    EXPECT_EQ(hostDisplay(kRoomSize, 0.0f), "0.000");
    EXPECT_EQ(hostDisplay(kPan, 0.0f), "-100.000");
    EXPECT_EQ(hostDisplay(kOut, 1.5f), "60.000");  // unclamped physical value
    EXPECT_EQ(hostDisplay(13, 0.5f), "untouched");
    EXPECT_EQ(hostDisplay(-1, 0.5f), "untouched");
}

TEST(ParameterTable, PanelFormattersTruncateThePhysicalValue) {
    EXPECT_EQ(panel(kPan, 0.0f), "L100");
    EXPECT_EQ(panel(kPan, 0.49f), "L1");
    EXPECT_EQ(panel(kPan, 0.5f), "C");
    EXPECT_EQ(panel(kPan, 0.495f), "C");
    EXPECT_EQ(panel(kPan, 0.505f), "C");
    EXPECT_EQ(panel(kPan, 0.51f), "R1");
    EXPECT_EQ(panel(kPan, 1.0f), "R100");
    EXPECT_EQ(panel(kOut, 0.0f), "-60dB");
    EXPECT_EQ(panel(kOut, 0.001f), "-59dB");
    EXPECT_EQ(panel(kOut, 0.75f), "0dB");
    EXPECT_EQ(panel(kOut, 0.999f), "19dB");
    EXPECT_EQ(panel(kOut, 1.0f), "20dB");
    EXPECT_EQ(panel(kT60, 0.3f), "2170ms");
    EXPECT_EQ(panel(kDamping, 0.25f), "3250Hz");
    EXPECT_EQ(panel(kDensity, 0.5f), "50%");
    EXPECT_EQ(panel(kEarlyDelay, 0.25f), "12ms");
    EXPECT_EQ(panel(kHighCut, 0.2f), "4000Hz");
    EXPECT_EQ(panel(kLowCut, 0.15f), "150Hz");
    EXPECT_EQ(panel(kSensitivity, 1.0f), "100%");
    EXPECT_EQ(panel(kHold, 0.0f), "10ms");
    EXPECT_EQ(panel(kRoomSize, 0.5f), "50%");
    EXPECT_EQ(panel(kRoomSize, 0.0f), "0%");
    EXPECT_EQ(panel(kEarlyLevel, 0.3f), "30%");
    EXPECT_EQ(panel(kDryOut, 1.0f), "");
    EXPECT_EQ(panel(42, 1.0f), "");
}

TEST(ParameterTable, PanelFormattersSurviveValuesNoControlProduces) {
    EXPECT_EQ(panel(kT60, 1e30f), "2147483647ms");
    EXPECT_EQ(panel(kT60, -1e30f), "-2147483648ms");
    char text[256];
    panelFormatter(kDensity)(std::numeric_limits<float>::quiet_NaN(), text);
    EXPECT_STREQ(text, "0%");
    EXPECT_EQ(panelFormatter(kDryOut), nullptr);
    EXPECT_EQ(panelFormatter(13), nullptr);
    panelFormatter(kT60)(0.3f, text);
    EXPECT_STREQ(text, "2170ms");
}

TEST(Programs, FactoryNamesArePaddedTo23Characters) {
    const char* visible[] = {"Default",  "Default hall", "Huge Hall",       "Room",
                             "Full mud", "Gated reverb", "Loud neighbours", "Bathroom"};
    for (int i = 0; i < kProgramCount; ++i) {
        EXPECT_EQ(std::strlen(factoryPrograms[i].name), 23u) << i;
        EXPECT_EQ(std::string(factoryPrograms[i].name).rfind(visible[i], 0), 0u) << i;
        EXPECT_EQ(std::string(factoryPrograms[i].name).find_last_not_of(' ') + 1, std::strlen(visible[i])) << i;
    }
}

TEST(Programs, ConstructionLoadingAndNames) {
    ReverbProgram program;
    EXPECT_STREQ(program.name, "Default                ");
    EXPECT_FLOAT_EQ(program.values[kOut], 0.75f);

    program.loadFactory(5);
    EXPECT_STREQ(program.name, "Gated reverb           ");
    EXPECT_EQ(program.values[kHold], 0.2f);
    EXPECT_EQ(program.values[kSensitivity], 0.5f);
    program.loadFactory(8);
    program.loadFactory(-1);
    EXPECT_STREQ(program.name, "Gated reverb           ");

    program.setName("A name far longer than twenty-three characters");
    EXPECT_EQ(std::strlen(program.name), 23u);
    EXPECT_STREQ(program.name, "A name far longer than ");
    EXPECT_EQ(program.values[kHold], 0.2f);  // the values intact
    program.setName(nullptr);
    EXPECT_STREQ(program.name, "A name far longer than ");
}

}  // namespace
