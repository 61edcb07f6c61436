// The thirteen parameters, declared once: the texts the host receives, the physical range
// behind the normalised value, and how the panel prints it. Host display texts, the
// engine mapping and the panel's formatters all read this table.
#pragma once

#include <cstddef>

constexpr int kParameterCount = 13;
constexpr std::size_t kParameterTextSize = 16;  // name and label slots, terminator included

enum ParameterIndex : int {
    kPan,
    kOut,
    kT60,
    kDamping,
    kDensity,
    kEarlyDelay,
    kHighCut,
    kLowCut,
    kDryOut,
    kSensitivity,
    kHold,
    kRoomSize,
    kEarlyLevel,
};

struct ParameterRange {
    float min;
    float max;

    // The physical value at v, formed at double precision the way the engine mapping
    // and the panel compute it.
    double lerp(float v) const { return (static_cast<double>(max) - min) * v + min; }

    // The inverse of lerp: the normalised value of a physical one, held to 0..1 (a NaN gives 0).
    double normalise(double physical) const {
        const double v = (physical - min) / (static_cast<double>(max) - min);
        return v > 1.0 ? 1.0 : v >= 0.0 ? v : 0.0;
    }
};

struct ParameterInfo {
    const char* name;   // trailing fill included
    const char* label;  // trailing fill included
    ParameterRange range;
    const char* panelFormat;  // printf format of the panel display; null: no display
};

extern const ParameterInfo parameterTable[kParameterCount];

inline bool isParameterIndex(int index) { return index >= 0 && index < kParameterCount; }

// The physical value of a normalised value, as the engine, the panel and every format see it.
inline double physicalValue(int index, float value) { return parameterTable[index].range.lerp(value); }

// The host's display text: the physical value with three decimals, no label.
// Writes nothing for an index out of range.
void formatHostDisplay(int index, float value, char* text, std::size_t size);

// The panel's value display text ("C", "0dB", "2170ms", ...). Writes an empty text for an
// index without a display.
void formatPanelDisplay(int index, float value, char* text, std::size_t size);

// One formatter per displayed parameter, as the panel's displays take them.
using ValueFormatter = void (*)(float value, char* text);
ValueFormatter panelFormatter(int index);  // null for Dry out and out-of-range indices
