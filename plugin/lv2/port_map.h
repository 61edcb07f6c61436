// How the reverb appears to an LV2 host: the port layout, the URIs, and the conversion
// between a parameter's normalised value and the musician's unit its port carries. The
// plug-in, its panel and the generated .ttl files all read this.
#pragma once

#include <cstdint>
#include <string>

#include "effect/parameter_table.h"

namespace lv2port {

constexpr std::uint32_t kInLeft = 0;
constexpr std::uint32_t kInRight = 1;
constexpr std::uint32_t kOutLeft = 2;
constexpr std::uint32_t kOutRight = 3;
constexpr std::uint32_t kFirstControl = 4;  // parameter i lives at kFirstControl + i
constexpr std::uint32_t kMeter = kFirstControl + kParameterCount;
constexpr std::uint32_t kGate = kMeter + 1;
constexpr std::uint32_t kCount = kGate + 1;

constexpr std::uint32_t forParameter(int index) { return kFirstControl + static_cast<std::uint32_t>(index); }
constexpr bool isParameterPort(std::uint32_t port) { return port >= kFirstControl && port < kMeter; }
constexpr int parameterOf(std::uint32_t port) { return static_cast<int>(port - kFirstControl); }

constexpr const char* kPluginUri = "urn:tovik:hallmere";
constexpr const char* kUiUri = "urn:tovik:hallmere:ui";

// The parameter's name without the table's trailing fill, and a symbol made from it
// ("Early ref delay" -> "early_ref_delay").
std::string name(int index);
std::string symbol(int index);

// The LV2 unit of the parameter's label; null for a label-less switch.
const char* unitUri(int index);
bool isToggle(int index);

// The port value of a normalised value: the physical value as the engine mapping forms it.
float toPort(int index, float normalised);

// The normalised value behind a port value: the float nearest the plain quotient, which
// for every port value toPort gives is a normalised value toPort maps onto it again, and for
// the presets and defaults the very value they were written from, so that they reach the
// engine bit for bit as in VST2. Values outside the port's range are held at its ends; NaN
// gives false and leaves `normalised` alone.
bool fromPort(int index, float portValue, float& normalised);

}  // namespace lv2port
