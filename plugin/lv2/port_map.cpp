#include "plugin/lv2/port_map.h"

#include <cctype>
#include <cmath>

namespace lv2port {

namespace {

std::string trimmed(const char* text) {
    std::string s(text);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
    return s;
}

}  // namespace

std::string name(int index) { return trimmed(parameterTable[index].name); }

std::string symbol(int index) {
    std::string s;
    for (char c : name(index))
        s += std::isalnum(static_cast<unsigned char>(c))
                 ? static_cast<char>(std::tolower(static_cast<unsigned char>(c)))
                 : '_';
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

float toPort(int index, float normalised) { return static_cast<float>(physicalValue(index, normalised)); }

bool fromPort(int index, float portValue, float& normalised) {
    if (std::isnan(portValue)) return false;
    const ParameterRange& r = parameterTable[index].range;
    const float p = std::fmin(std::fmax(portValue, r.min), r.max);
    // The float nearest the exact quotient is the one toPort was given for every value the
    // bundle publishes, and for any other float toPort maps it back onto the same port value.
    const double quotient = (static_cast<double>(p) - r.min) / (static_cast<double>(r.max) - r.min);
    normalised = std::fmin(std::fmax(static_cast<float>(quotient), 0.0f), 1.0f);
    return true;
}

}  // namespace lv2port
