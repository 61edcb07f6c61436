// Everything the artwork program needs to know about the panel beyond where the editor's
// views sit (editor/panel_layout.h): the bitmaps, the engraving around the controls, the
// colours and the words printed on it. Coordinates are panel pixels, rectangles are left,
// top, right, bottom with right and bottom exclusive.
#pragma once

#include "editor/panel_layout.h"
#include "hallmere_version.h"

namespace artwork {

using panel::kAboutCard;
using panel::kAboutLabel;
using panel::kDisplayDx;
using panel::kDisplayDy;
using panel::kDisplayHeight;
using panel::kDisplayText;
using panel::kDisplayWidth;
using panel::kDryButton;
using panel::kFaderHandleStart;
using panel::kGateLed;
using panel::kKnobBodyHeight;
using panel::kKnobs;
using panel::kKnobSize;
using panel::kMeter;
using panel::KnobPlace;
using panel::kOutDisplay;
using panel::kOutFader;
using panel::kPanDisplay;
using panel::kPanHandleStart;
using panel::kPanSlider;
using panel::PixelRect;
using panel::Rgb;

// ---- Bitmap ids and sizes -------------------------------------------------------------

constexpr int kPanelWidth = panel::kWidth;
constexpr int kPanelHeight = panel::kHeight;

struct BitmapSize {
    int id, width, height;
};

constexpr BitmapSize kBitmapSizes[] = {
    {1024, 448, 251}, {1025, 24, 25}, {1026, 4, 15}, {1027, 72, 15}, {1028, 21, 38},   {1029, 22, 155}, {1030, 15, 147},
    {1031, 15, 147},  {1032, 24, 25}, {1033, 7, 7},  {1034, 21, 34}, {1035, 332, 173}, {1036, 30, 40},  {1037, 13, 36},
};

// The sets drawn: 100 % as the resource bitmaps, the larger ones for high-density screens.
struct ArtworkScale {
    int percent;
};
constexpr ArtworkScale kArtworkScales[] = {{100}, {150}, {200}};

// ---- Layout -------------------------------------------------------------------------

constexpr int kLabelBaselineDy = 33;  // knob label baseline relative to the knob's top

struct Group {
    const char* heading;
    int firstKnobX, lastKnobX;  // the knob columns the heading spans
};

constexpr Group kGroups[] = {
    {"Late reverb", 36, 94},
    {"Equalizer", 165, 165},
    {"Gate", 235, 235},
    {"Early refl", 305, 305},
};
constexpr int kHeadingBaseline = 61;
constexpr int kHeadingRuleY = 66;
constexpr int kHeadingOverhang = 3;  // rule extends this far past the outer displays
constexpr int kDividerTop = 54;      // vertical rules between the groups
constexpr int kDividerBottom = 210;

constexpr PixelRect kOutputWindow{350, 4, 434, 218};

constexpr int kMeterSegments = 73;       // lamp steps of two pixel rows each
constexpr int kMeterAmberSegments = 21;  // segments above -3 dB
constexpr int kScrewInset = 8;

// ---- Texts --------------------------------------------------------------------------

constexpr const char* kFontFamily = "Liberation Sans";
constexpr const char* kProductName = "Hallmere";
constexpr const char* kSubtitle = "Stereo hall and room reverberator";
constexpr const char* kVendorName = "Tovik";
constexpr const char* kVersionText = "Version " HALLMERE_VERSION_TEXT;
constexpr const char* kCreditsText = "Design, signal processing and artwork by Tovik";
constexpr const char* kCardHint = "Click to close";
constexpr const char* kPanCaption = "Pan";
constexpr const char* kDryCaption = "Dry out";
constexpr const char* kOutCaption = "Out";
constexpr const char* kGateCaption = "Gate";
constexpr const char* kAboutCaption = "About";

// ---- Colours ------------------------------------------------------------------------

constexpr Rgb kMetal{196, 199, 203};
constexpr int kMetalStreakDepth = 3;  // grey levels of the brushing
constexpr int kMetalPeriod = 85;      // the knob rows repeat the brushing exactly
constexpr Rgb kEngraveInk{48, 52, 58};
constexpr Rgb kEngraveLight{234, 236, 239};
constexpr Rgb kRuleShadow{142, 146, 152};
constexpr Rgb kPanelHighlight{236, 238, 241};
constexpr Rgb kPanelEdgeShadow{104, 108, 114};
constexpr Rgb kWindowTop{46, 49, 55};
constexpr Rgb kWindowBottom{27, 29, 33};
constexpr Rgb kWindowInk{168, 174, 182};
constexpr Rgb kDisplayField{0, 0, 0};

constexpr Rgb kKnobSkirtTop{226, 228, 231};
constexpr Rgb kKnobSkirtBottom{98, 101, 106};
constexpr Rgb kKnobFaceTop{190, 192, 196};
constexpr Rgb kKnobFaceBottom{150, 153, 158};
constexpr Rgb kAltKnobSkirtTop{112, 116, 122};
constexpr Rgb kAltKnobSkirtBottom{20, 21, 24};
constexpr Rgb kAltKnobFaceTop{62, 65, 70};
constexpr Rgb kAltKnobFaceBottom{38, 40, 44};
constexpr Rgb kKnobDot{246, 244, 236};
constexpr Rgb kKnobDotRim{58, 60, 66};

constexpr Rgb kCapLight{236, 237, 239};
constexpr Rgb kCapMid{196, 198, 202};
constexpr Rgb kCapDark{150, 153, 158};
constexpr Rgb kCapOutline{84, 87, 92};
constexpr Rgb kCapLine{32, 34, 38};
constexpr Rgb kSlot{6, 7, 9};
constexpr Rgb kSlotLip{78, 82, 90};
constexpr Rgb kTick{104, 110, 118};
constexpr Rgb kTickStrong{176, 182, 190};

constexpr Rgb kMeterBack{12, 13, 15};
constexpr Rgb kMeterUnlit{26, 44, 51};
constexpr Rgb kMeterUnlitAmber{54, 42, 22};
constexpr Rgb kMeterCyan{0, 196, 232};
constexpr Rgb kMeterCyanCore{96, 228, 250};
constexpr Rgb kMeterAmber{255, 168, 28};
constexpr Rgb kMeterAmberCore{255, 214, 120};
constexpr Rgb kMeterScale{150, 156, 164};

constexpr Rgb kButtonTop{86, 90, 97};
constexpr Rgb kButtonBottom{50, 53, 58};
constexpr Rgb kButtonPressedTop{44, 47, 52};
constexpr Rgb kButtonPressedBottom{56, 59, 65};
constexpr Rgb kButtonLampOff{30, 56, 64};
constexpr Rgb kButtonLampOn{40, 214, 246};

constexpr Rgb kLedGreen{52, 226, 92};
constexpr Rgb kLedYellow{255, 214, 40};
constexpr Rgb kLedRed{244, 52, 40};
constexpr Rgb kLedBezel{58, 61, 66};

constexpr Rgb kCardTop{214, 216, 220};
constexpr Rgb kCardBottom{168, 171, 177};
constexpr Rgb kCardBorder{70, 73, 79};
constexpr Rgb kCardAccent{0, 150, 190};

}  // namespace artwork
