#include "effect/parameter_table.h"

#include <cstdio>

#include "dsp/portable_math.h"

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

using portable::truncateToInt32;

void formatPan(float v, char* text, std::size_t size) {
    const float rightFrom = 0.505f;
    const float centreFrom = 0.495f;
    if (v > rightFrom)
        std::snprintf(text, size, "R%d", truncateToInt32(200.0 * v - 100.0));
    else if (v >= centreFrom)
        std::snprintf(text, size, "C");
    else
        std::snprintf(text, size, "L%d", truncateToInt32(100.0 - 200.0 * v));
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
    // Hosts have always been shown this blend of the two ends; in the last bit it can differ
    // from physicalValue, and a saved project's texts must not change.
    const ParameterRange& r = parameterTable[index].range;
    const double blend = static_cast<double>(r.min) * (1.0 - value) + static_cast<double>(r.max) * value;
    std::snprintf(text, size, "%3.3f", blend);
}

void formatPanelDisplay(int index, float value, char* text, std::size_t size) {
    if (text == nullptr || size == 0) return;
    text[0] = '\0';
    if (index == kPan) {
        formatPan(value, text, size);
        return;
    }
    if (!isParameterIndex(index) || parameterTable[index].panelFormat == nullptr) return;
    std::snprintf(text, size, parameterTable[index].panelFormat, truncateToInt32(physicalValue(index, value)));
}

ValueFormatter panelFormatter(int index) {
    static const ValueFormatter formatters[kParameterCount] = {
        formatter<0>, formatter<1>, formatter<2>, formatter<3>,  formatter<4>,  formatter<5>,  formatter<6>,
        formatter<7>, nullptr,      formatter<9>, formatter<10>, formatter<11>, formatter<12>,
    };
    return isParameterIndex(index) ? formatters[index] : nullptr;
}
