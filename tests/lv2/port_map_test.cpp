#include "plugin/lv2/port_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "effect/reverb_program.h"

namespace {

float normalisedOf(int index, float portValue) {
    float v = -1.0f;
    EXPECT_TRUE(lv2port::fromPort(index, portValue, v));
    return v;
}

// Every value the bundle publishes (the range ends, the defaults, the presets) must come back
// as the very normalised value it was made from, or the engine would hear a different setting.
TEST(Lv2PortMap, PublishedValuesComeBackExactly) {
    for (int i = 0; i < kParameterCount; ++i) {
        std::set<float> values = {0.0f, 1.0f};
        for (const FactoryProgram& program : factoryPrograms) values.insert(program.values[i]);
        for (float v : values) {
            const float port = lv2port::toPort(i, v);
            EXPECT_EQ(normalisedOf(i, port), v) << "parameter " << i << " value " << v << " port " << port;
        }
    }
}

// Any other normalised value may share its port value with a neighbour, but the one read
// back gives that same port value again, so a host reading and rewriting ports changes nothing.
TEST(Lv2PortMap, PortValuesSurviveTheRoundTrip) {
    for (int i = 0; i < kParameterCount; ++i) {
        for (float v = 0.0f; v <= 1.0f; v = std::nextafter(v + 0.000731f, 2.0f)) {
            const float port = lv2port::toPort(i, v);
            EXPECT_EQ(lv2port::toPort(i, normalisedOf(i, port)), port) << "parameter " << i << " value " << v;
        }
    }
}

TEST(Lv2PortMap, ValuesOutsideTheRangeHeldAtItsEnds) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float port;
        float expected;
    } cases[] = {{inf, 1.0f}, {-inf, 0.0f}, {1e30f, 1.0f}, {-1e30f, 0.0f}};
    for (int i = 0; i < kParameterCount; ++i) {
        for (const auto& c : cases) EXPECT_EQ(normalisedOf(i, c.port), c.expected) << "parameter " << i;
        float v = 0.25f;
        EXPECT_FALSE(lv2port::fromPort(i, std::nanf(""), v));
        EXPECT_EQ(v, 0.25f);
    }
}

// Only the thirteen control inputs carry parameters: the audio ports, the meter and the gate
// output must never be read as one.
TEST(Lv2PortMap, ParameterPortsAreTheThirteenControlsAlone) {
    for (int i = 0; i < kParameterCount; ++i) {
        EXPECT_TRUE(lv2port::isParameterPort(lv2port::forParameter(i))) << i;
        EXPECT_EQ(lv2port::parameterOf(lv2port::forParameter(i)), i);
    }
    for (std::uint32_t port : {lv2port::kInLeft, lv2port::kInRight, lv2port::kOutLeft, lv2port::kOutRight,
                               lv2port::kMeter, lv2port::kGate, lv2port::kCount})
        EXPECT_FALSE(lv2port::isParameterPort(port)) << "port " << port;
    EXPECT_EQ(lv2port::kCount, 4u + kParameterCount + 2u);
}

TEST(Lv2PortMap, NamesSymbolsAndUnits) {
    std::set<std::string> symbols;
    for (int i = 0; i < kParameterCount; ++i) {
        const std::string symbol = lv2port::symbol(i);
        ASSERT_FALSE(symbol.empty());
        EXPECT_TRUE(std::isalpha(static_cast<unsigned char>(symbol[0])) || symbol[0] == '_') << symbol;
        for (char c : symbol)
            EXPECT_TRUE(std::islower(static_cast<unsigned char>(c)) || std::isdigit(c) || c == '_') << symbol;
        symbols.insert(symbol);
        EXPECT_EQ(lv2port::unitUri(i) == nullptr, lv2port::isToggle(i)) << "parameter " << i;
    }
    EXPECT_EQ(symbols.size(), static_cast<std::size_t>(kParameterCount));
    EXPECT_EQ(lv2port::name(kEarlyDelay), "Early ref delay");
    EXPECT_EQ(lv2port::symbol(kEarlyDelay), "early_ref_delay");
    EXPECT_TRUE(lv2port::isToggle(kDryOut));
    EXPECT_STREQ(lv2port::unitUri(kOut), "http://lv2plug.in/ns/extensions/units#db");
    EXPECT_STREQ(lv2port::unitUri(kHighCut), "http://lv2plug.in/ns/extensions/units#hz");
}

}  // namespace
