#include "plugin/lv2/port_map.h"

#include <cctype>
#include <cmath>
#include <cstring>

namespace lv2port {

namespace {

std::string trimmed(const char* text) {
    std::string s(text);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    return s;
}

// How far from the plain quotient the exact normalised value may lie, in float steps: the
// quotient itself is rounded twice, and a wide range maps several floats onto one port value.
constexpr int kSearchSteps = 64;

}  // namespace

std::string name(int index) { return trimmed(parameterTable[index].name); }

std::string symbol(int index) {
    std::string s;
    for (char c : name(index))
        s += std::isalnum(static_cast<unsigned char>(c)) ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : '_';
    return s;
}

const char* unitUri(int index) {
    static const struct {
        const char* label;
        const char* uri;
    } units[] = {
        {"%", "http://lv2plug.in/ns/extensions/units#pc"},
        {"dB", "http://lv2plug.in/ns/extensions/units#db"},
        {"ms", "http://lv2plug.in/ns/extensions/units#ms"},
        {"Hz", "http://lv2plug.in/ns/extensions/units#hz"},
    };
    const std::string label = trimmed(parameterTable[index].label);
    for (const auto& unit : units)
        if (label == unit.label) return unit.uri;
    return nullptr;
}

bool isToggle(int index) {
    const ParameterRange& r = parameterTable[index].range;
    return trimmed(parameterTable[index].label).empty() && r.min == 0.0f && r.max == 1.0f;
}

float toPort(int index, float normalised) {
    return static_cast<float>(parameterTable[index].range.lerp(normalised));
}

bool fromPort(int index, float portValue, float& normalised) {
    if (std::isnan(portValue)) return false;
    const ParameterRange& r = parameterTable[index].range;
    const float p = std::fmin(std::fmax(portValue, r.min), r.max);
    const double quotient = (static_cast<double>(p) - r.min) / (static_cast<double>(r.max) - r.min);
    const float guess = static_cast<float>(quotient);
    float best = std::fmin(std::fmax(guess, 0.0f), 1.0f);
    bool found = false;
    // Candidates in order of distance from the quotient, both sides; the first hit is nearest.
    float up = guess, down = guess;
    for (int step = 0; step <= kSearchSteps && !found; ++step) {
        const float near = std::fabs(up - quotient) <= std::fabs(down - quotient) ? up : down;
        const float far = near == up ? down : up;
        for (float v : {near, far}) {
            if (!found && v >= 0.0f && v <= 1.0f && toPort(index, v) == p) {
                best = v;
                found = true;
            }
        }
        up = std::nextafter(up, 2.0f);
        down = std::nextafter(down, -1.0f);
    }
    normalised = best;
    return true;
}

}  // namespace lv2port
