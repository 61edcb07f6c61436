// Where everything sits on the reverb panel: the one table from which the editor places its
// views and the artwork program paints the panel under them. Coordinates are panel pixels;
// rectangles are left, top, right, bottom with right and bottom exclusive.
#pragma once

#include "effect/parameter_table.h"

namespace panel {

struct PixelRect {
    int left, top, right, bottom;
    constexpr int width() const { return right - left; }
    constexpr int height() const { return bottom - top; }
};

struct Rgb {
    int r, g, b;
};

constexpr int kWidth = 448;
constexpr int kHeight = 251;

struct KnobPlace {
    int parameter;
    const char* label;  // engraved under the knob
    int x, y;           // top-left of the knob rectangle
};

constexpr int kKnobCount = 10;

// In the order the editor adds the knobs; room size comes after early-reflection level.
constexpr KnobPlace kKnobs[kKnobCount] = {
    {kT60, "T60", 36, 76},
    {kDamping, "Damping", 94, 76},
    {kDensity, "Density", 36, 161},
    {kEarlyDelay, "Delay", 305, 76},
    {kHighCut, "High cutoff", 165, 76},
    {kLowCut, "Low cutoff", 165, 161},
    {kSensitivity, "Sensitivity", 235, 76},
    {kHold, "Hold", 235, 161},
    {kEarlyLevel, "Level", 305, 161},
    {kRoomSize, "Room size", 94, 161},
};

constexpr int kKnobSize = 24;
constexpr int kKnobBodyHeight = 25;  // the body's top row is never shown

// Each knob's value display sits this far from the knob's top-left corner.
constexpr int kDisplayDx = -11;
constexpr int kDisplayDy = 37;
constexpr int kDisplayWidth = 48;
constexpr int kDisplayHeight = 10;
constexpr Rgb kDisplayText{0, 183, 224};  // the displays' text, on a black field

constexpr PixelRect kPanSlider{358, 17, 430, 32};
constexpr int kPanHandleStart = 362;  // handle's left edge at the minimum
constexpr PixelRect kPanDisplay{359, 39, 387, 49};
constexpr PixelRect kDryButton{361, 60, 382, 77};
constexpr PixelRect kOutFader{391, 36, 413, 191};
constexpr int kFaderHandleStart = 40;  // handle's top edge at the maximum
constexpr PixelRect kMeter{413, 40, 428, 187};
constexpr PixelRect kOutDisplay{395, 199, 423, 209};
constexpr PixelRect kAboutLabel{395, 229, 435, 243};  // clicking it shows the about card
constexpr PixelRect kAboutCard{18, 56, 350, 229};
constexpr PixelRect kGateLed{262, 214, 275, 226};

}  // namespace panel
