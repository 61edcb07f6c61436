// The images the controls draw over the panel, one function per bitmap resource.
#pragma once

#include "bitmap_file.h"

namespace artwork {

Image renderAltKnobBody();    // 1025
Image renderPanHandle();      // 1026
Image renderPanTrack();       // 1027
Image renderFaderHandle();    // 1028
Image renderFaderTrack();     // 1029
Image renderMeter(bool lit);  // 1030 unlit, 1031 lit
Image renderKnobBody();       // 1032
Image renderKnobDot();        // 1033
Image renderDryButton();      // 1034
Image renderAboutCard();      // 1035
Image renderPushButton();     // 1036
Image renderGateLed();        // 1037

// Top row of the fader handle's centre line for a normalised value; the track's scale
// marks and the handle's line meet there.
int faderLineRow(double value);
constexpr int kFaderHandleLine = 18;

// Pixel row, from the meter's top, where the lit part begins at a level in decibels below
// full scale.
int meterRowForDecibels(double decibels);

}  // namespace artwork
