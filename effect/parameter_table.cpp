#include "effect/parameter_table.h"

#include <cstdio>

const ParameterInfo parameterTable[kParameterCount] = {
    {"Pan            ", "%              ", {-100.0f, 100.0f}, nullptr},  // printed by formatPan
    {"Out            ", "dB             ", {-60.0f, 20.0f}, "%ddB"},
    {"T60\t\t\t", "ms\t\t\t\t", {100.0f, 7000.0f}, "%dms"},
    {"Damping        ", "Hz             ", {1000.0f, 10000.0f}, "%dHz"},
    {"Density        ", "%              ", {0.0f, 100.0f}, "%d%%"},
    {"Early ref delay", "ms             ", {0.0f, 50.0f}, "%dms"},
    {"High cut       ", "Hz             ", {0.1f, 20000.0f}, "%dHz"},
    {"Low cut        ", "Hz             ", {0.1f, 1000.0f}, "%dHz"},
    {"Dry out\t\t", "\t\t\t\t", {0.0f, 1.0f}, nullptr},
    {"Sensitivity    ", "%              ", {0.0f, 100.0f}, "%d%%"},
    {"Hold           ", "ms             ", {10.0f, 500.0f}, "%dms"},
    {"Room size\t\t", "%              ", {0.0f, 100.0f}, "%d%%"},
    {"Early ref level", "%              ", {0.0f, 100.0f}, "%d%%"},
};

namespace {

// printf's %d of a truncated value; out-of-range values saturate instead of overflowing.
int truncated(double p) {
    if (!(p == p)) return 0;
    if (p >= 2147483647.0) return 2147483647;
    if (p <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(p);
}

void formatPan(float v, char* text, std::size_t size) {
    const float rightFrom = 0.505f;
    const float centreFrom = 0.495f;
    if (v > rightFrom)
        std::snprintf(text, size, "R%d", truncated(200.0 * v - 100.0));
    else if (v >= centreFrom)
        std::snprintf(text, size, "C");
    else
        std::snprintf(text, size, "L%d", truncated(100.0 - 200.0 * v));
}

// The displays hand over a 256-byte buffer; seven characters is the longest text.
constexpr std::size_t kFormatterBuffer = 256;

template <int Index>
void formatter(float value, char* text) {
    formatPanelDisplay(Index, value, text, kFormatterBuffer);
}

}  // namespace

void formatHostDisplay(int index, float value, char* text, std::size_t size) {
    if (!isParameterIndex(index) || text == nullptr || size == 0) return;
    const ParameterRange& r = parameterTable[index].range;
    const double physical = static_cast<double>(r.min) * (1.0 - value) + static_cast<double>(r.max) * value;
    std::snprintf(text, size, "%3.3f", physical);
}

void formatPanelDisplay(int index, float value, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    if (index == kPan) {
        formatPan(value, text, size);
        return;
    }
    if (!isParameterIndex(index) || parameterTable[index].panelFormat == nullptr) return;
    std::snprintf(text, size, parameterTable[index].panelFormat, truncated(parameterTable[index].range.lerp(value)));
}

ValueFormatter panelFormatter(int index) {
    static const ValueFormatter formatters[kParameterCount] = {
        formatter<0>, formatter<1>, formatter<2>, formatter<3>,  formatter<4>,  formatter<5>,  formatter<6>,
        formatter<7>, nullptr,      formatter<9>, formatter<10>, formatter<11>, formatter<12>,
    };
    return isParameterIndex(index) ? formatters[index] : nullptr;
}
