#include "control_art.h"

#include <cmath>
#include <cstdio>

#include "canvas.h"
#include "panel_art.h"

namespace artwork {
namespace {

constexpr int kHandleWidthPan = 4;
constexpr int kFaderHandleWidth = 21;
constexpr int kFaderHandleHeight = 38;
constexpr int kDotSize = 7;
constexpr double kKnobSkirtRadius = 10.4;
constexpr double kKnobFaceRadius = 8.6;
constexpr double kDotRadius = 2.6;
constexpr double kDotInnerRadius = 1.8;

struct KnobColours {
    Rgb skirtTop, skirtBottom, faceTop, faceBottom;
};

void linearFill(cairo_t* cr, double x0, double y0, double x1, double y1, Rgb from, Rgb to) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    cairo_pattern_add_color_stop_rgb(p, 0, from.r / 255.0, from.g / 255.0, from.b / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, to.r / 255.0, to.g / 255.0, to.b / 255.0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// Stacks equally sized images top to bottom into one strip.
Image stack(const Image* images, int count) {
    Image strip(images[0].width, images[0].height * count);
    for (int i = 0; i < count; ++i)
        for (int y = 0; y < images[i].height; ++y)
            for (int x = 0; x < images[i].width; ++x) strip.at(x, i * images[0].height + y) = images[i].at(x, y);
    return strip;
}

// The knob body is cut from the panel at the first knob; every knob place carries exactly
// the same pixels there, so the body's corners are invisible wherever it is drawn.
Image renderKnob(const KnobColours& colours) {
    const KnobPlace& place = kKnobs[0];
    Canvas canvas(kKnobSize, kKnobBodyHeight, place.x, place.y - 1);
    paintPanel(canvas);
    cairo_t* cr = canvas.cr();
    // The handle dot is centred on pixel centres, so the knob's centre is one too.
    const double cx = place.x + kKnobSize / 2.0 + 0.5;
    const double cy = place.y + kKnobSize / 2.0 + 0.5;

    cairo_pattern_t* shadow =
        cairo_pattern_create_radial(cx, cy + 0.6, kKnobSkirtRadius - 1.5, cx, cy + 0.6, kKnobSkirtRadius + 0.6);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_arc(cr, cx, cy + 0.6, kKnobSkirtRadius + 0.6, 0, 2 * M_PI);
    cairo_set_source(cr, shadow);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);

    cairo_arc(cr, cx, cy, kKnobSkirtRadius, 0, 2 * M_PI);
    linearFill(cr, cx, cy - kKnobSkirtRadius, cx, cy + kKnobSkirtRadius, colours.skirtTop, colours.skirtBottom);
    cairo_set_line_width(cr, 1.0);
    cairo_arc(cr, cx, cy, kKnobSkirtRadius - 0.5, 0, 2 * M_PI);
    setColour(cr, {0, 0, 0}, 0.30);
    cairo_stroke(cr);

    // Face: lit from the upper left, with a bright rim on top and a dark one below.
    cairo_arc(cr, cx, cy, kKnobFaceRadius, 0, 2 * M_PI);
    linearFill(cr, cx - 6, cy - 6, cx + 6, cy + 6, colours.faceTop, colours.faceBottom);
    cairo_arc(cr, cx, cy, kKnobFaceRadius + 0.5, 0, 2 * M_PI);
    setColour(cr, {0, 0, 0}, 0.18);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, kKnobFaceRadius - 0.5, M_PI * 1.05, M_PI * 1.95);
    setColour(cr, {255, 255, 255}, 0.45);
    cairo_stroke(cr);
    cairo_arc(cr, cx, cy, kKnobFaceRadius - 0.5, M_PI * 0.1, M_PI * 0.9);
    setColour(cr, {0, 0, 0}, 0.22);
    cairo_stroke(cr);
    return canvas.opaqueImage();
}

void drawLamp(cairo_t* cr, double cx, double cy, double radius, Rgb colour, bool lit) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - radius * 0.3, cy - radius * 0.35, 0.3, cx, cy, radius);
    const Rgb core = lit ? mix(colour, {255, 255, 255}, 0.55) : shade(colour, -20);
    const Rgb edge = lit ? shade(colour, -50) : shade(colour, -60);
    cairo_pattern_add_color_stop_rgb(p, 0, core.r / 255.0, core.g / 255.0, core.b / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 0.45, colour.r / 255.0 * (lit ? 1 : 0.6), colour.g / 255.0 * (lit ? 1 : 0.6),
                                     colour.b / 255.0 * (lit ? 1 : 0.6));
    cairo_pattern_add_color_stop_rgb(p, 1, edge.r / 255.0, edge.g / 255.0, edge.b / 255.0);
    cairo_arc(cr, cx, cy, radius, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Glint of the light on the lens.
    cairo_arc(cr, cx - radius * 0.35, cy - radius * 0.4, radius * 0.28, 0, 2 * M_PI);
    setColour(cr, {255, 255, 255}, lit ? 0.75 : 0.25);
    cairo_fill(cr);
}

Image renderDryState(bool on) {
    const PixelRect& b = kDryButton;
    Canvas canvas(b.width(), b.height(), b.left, b.top);
    paintPanel(canvas);
    cairo_t* cr = canvas.cr();
    const double x = b.left + 1, y = b.top + 1, w = b.width() - 2, h = b.height() - 2;
    const double press = on ? 1 : 0;

    roundedRect(cr, x, y, w, h, 2.5);
    setColour(cr, {0, 0, 0}, 0.75);
    cairo_fill(cr);
    roundedRect(cr, x + 1, y + 1 + press, w - 2, h - 2 - press, 1.5);
    linearFill(cr, 0, y, 0, y + h, on ? kButtonPressedTop : kButtonTop, on ? kButtonPressedBottom : kButtonBottom);
    if (!on) fillRect(cr, x + 2, y + 1, w - 4, 1, {255, 255, 255}, 0.22);

    const int lampX = b.left + 6, lampY = b.top + 7 + (on ? 1 : 0), lampW = b.width() - 12, lampH = 3;
    if (on)
        fillRect(cr, lampX - 1, lampY - 1, lampW + 2, lampH + 2, kButtonLampOn, 0.30);
    else
        fillRect(cr, lampX - 1, lampY - 1, lampW + 2, lampH + 2, {0, 0, 0}, 0.45);
    fillRect(cr, lampX, lampY, lampW, lampH, on ? kButtonLampOn : kButtonLampOff);
    if (on) fillRect(cr, lampX + 1, lampY + 1, lampW - 2, 1, mix(kButtonLampOn, {255, 255, 255}, 0.6));
    return canvas.opaqueImage();
}

Image renderLedState(Rgb colour) {
    const PixelRect& r = kGateLed;
    Canvas canvas(r.width(), r.height(), r.left, r.top);
    paintPanel(canvas);
    cairo_t* cr = canvas.cr();
    const double cx = r.left + r.width() / 2.0, cy = r.top + r.height() / 2.0;
    // Bezel sunk into the metal, then the lamp.
    cairo_arc(cr, cx, cy + 0.5, 6.0, 0, 2 * M_PI);
    setColour(cr, kEngraveLight, 0.9);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, 6.0, 0, 2 * M_PI);
    linearFill(cr, 0, cy - 6, 0, cy + 6, shade(kLedBezel, -30), shade(kLedBezel, 30));
    cairo_arc(cr, cx, cy, 4.6, 0, 2 * M_PI);
    setColour(cr, {10, 10, 12});
    cairo_fill(cr);
    drawLamp(cr, cx, cy, 4.0, colour, true);
    return canvas.opaqueImage();
}

void meterSegmentColours(int segment, bool lit, Rgb& edge, Rgb& core) {
    const bool amber = segment < kMeterAmberSegments;
    if (!lit) {
        edge = amber ? kMeterUnlitAmber : kMeterUnlit;
        core = shade(edge, 6);
    } else {
        edge = amber ? kMeterAmber : kMeterCyan;
        core = amber ? kMeterAmberCore : kMeterCyanCore;
    }
}

}  // namespace

int faderLineRow(double value) {
    const int travel = (kOutFader.top + kOutFader.height() - kFaderHandleHeight) - kFaderHandleStart;
    const int handleTop = (kFaderHandleStart - kOutFader.top) + static_cast<int>((1.0 - value) * travel);
    return handleTop + kFaderHandleLine;
}

int meterRowForDecibels(double decibels) {
    const double level = std::pow(10.0, -decibels / 20.0);
    const int unlitSteps = static_cast<int>((1.0 - level) * kMeterSegments + 0.5);
    return static_cast<int>(double(unlitSteps) / kMeterSegments * kMeter.height());
}

Image renderKnobBody() { return renderKnob({kKnobSkirtTop, kKnobSkirtBottom, kKnobFaceTop, kKnobFaceBottom}); }

Image renderAltKnobBody() {
    return renderKnob({kAltKnobSkirtTop, kAltKnobSkirtBottom, kAltKnobFaceTop, kAltKnobFaceBottom});
}

Image renderKnobDot() {
    Canvas canvas(kDotSize, kDotSize);
    cairo_t* cr = canvas.cr();
    const double c = kDotSize / 2.0;
    cairo_arc(cr, c, c, kDotRadius, 0, 2 * M_PI);
    setColour(cr, kKnobDotRim);
    cairo_fill(cr);
    cairo_arc(cr, c, c, kDotInnerRadius, 0, 2 * M_PI);
    setColour(cr, kKnobDot);
    cairo_fill(cr);
    return canvas.keyedImage(mix(kKnobFaceTop, kKnobFaceBottom, 0.5));
}

Image renderPanTrack() {
    const PixelRect& s = kPanSlider;
    Canvas canvas(s.width(), s.height(), s.left, s.top);
    paintPanel(canvas);
    cairo_t* cr = canvas.cr();
    const int first = kPanHandleStart - s.left;  // handle's left edge at the minimum
    const int travel = s.width() - kHandleWidthPan - first;
    const int grooveY = s.top + s.height() / 2 - 1;
    fillRect(cr, s.left + first, grooveY - 1, travel + kHandleWidthPan, 1, {0, 0, 0}, 0.35);
    fillRect(cr, s.left + first, grooveY, travel + kHandleWidthPan, 3, kSlot);
    fillRect(cr, s.left + first, grooveY + 3, travel + kHandleWidthPan, 1, kSlotLip);
    // Marks under the handle's centre at left, quarter, centre, quarter and right.
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const int centre = s.left + first + quarter * travel / 4 + kHandleWidthPan / 2;
        const Rgb colour = quarter == 2 ? kTickStrong : kTick;
        fillRect(cr, centre - 1, s.top + 1, 2, 3, colour);
        fillRect(cr, centre - 1, s.bottom - 4, 2, 3, colour);
    }
    return canvas.opaqueImage();
}

Image renderPanHandle() {
    Canvas canvas(kHandleWidthPan, kPanSlider.height());
    cairo_t* cr = canvas.cr();
    fillRect(cr, 0, 0, kHandleWidthPan, kPanSlider.height(), kCapOutline);
    fillRect(cr, 1, 1, 1, kPanSlider.height() - 2, kCapLight);
    fillRect(cr, 2, 1, 1, kPanSlider.height() - 2, kCapDark);
    fillRect(cr, 1, kPanSlider.height() / 2, 2, 1, kCapLine);
    return canvas.keyedImage(kSlot);
}

Image renderFaderTrack() {
    const PixelRect& f = kOutFader;
    Canvas canvas(f.width(), f.height(), f.left, f.top);
    paintPanel(canvas);
    cairo_t* cr = canvas.cr();
    const int slotX = f.left + kFaderHandleWidth / 2 - 1;  // three pixels around the handle's centre
    const int slotTop = f.top + faderLineRow(1.0) - 8, slotBottom = f.top + faderLineRow(0.0) + 9;
    fillRect(cr, slotX - 1, slotTop - 1, 5, 1, {0, 0, 0}, 0.45);
    fillRect(cr, slotX - 1, slotTop, 1, slotBottom - slotTop, {0, 0, 0}, 0.35);
    fillRect(cr, slotX, slotTop, 3, slotBottom - slotTop, kSlot);
    fillRect(cr, slotX + 3, slotTop, 1, slotBottom - slotTop, kSlotLip);
    fillRect(cr, slotX - 1, slotBottom, 5, 1, kSlotLip);
    // A mark every 10 dB from +20 to -60 on both sides; the 0 dB mark is longer.
    for (int decibels = 20; decibels >= -60; decibels -= 10) {
        const int row = f.top + faderLineRow((decibels + 60) / 80.0);
        const bool unity = decibels == 0;
        const int length = unity ? 6 : 4;
        const Rgb colour = unity ? kTickStrong : kTick;
        fillRect(cr, slotX - 2 - length, row, length, 1, colour);
        fillRect(cr, slotX + 5, row, length, 1, colour);
    }
    return canvas.opaqueImage();
}

Image renderFaderHandle() {
    Canvas canvas(kFaderHandleWidth, kFaderHandleHeight);
    cairo_t* cr = canvas.cr();
    const double w = kFaderHandleWidth, h = kFaderHandleHeight;
    roundedRect(cr, 0, 0, w, h, 2.5);
    setColour(cr, kCapOutline);
    cairo_fill(cr);
    // Two ramps that meet at the centre line, as on a moulded cap.
    roundedRect(cr, 1, 1, w - 2, kFaderHandleLine - 1, 1.5);
    linearFill(cr, 0, 1, 0, kFaderHandleLine, kCapLight, kCapMid);
    roundedRect(cr, 1, kFaderHandleLine + 1, w - 2, h - kFaderHandleLine - 2, 1.5);
    linearFill(cr, 0, kFaderHandleLine + 1, 0, h - 1, kCapMid, kCapDark);
    for (int row : {5, 9, 13}) fillRect(cr, 3, row, kFaderHandleWidth - 6, 1, {0, 0, 0}, 0.13);
    for (int row : {24, 28, 32}) fillRect(cr, 3, row, kFaderHandleWidth - 6, 1, {0, 0, 0}, 0.13);
    fillRect(cr, 1, kFaderHandleLine, kFaderHandleWidth - 2, 1, kCapLine);
    fillRect(cr, 1, kFaderHandleLine + 1, kFaderHandleWidth - 2, 1, kCapLight);
    fillRect(cr, 2, 1, kFaderHandleWidth - 4, 1, {255, 255, 255}, 0.55);
    return canvas.keyedImage(kSlot);
}

Image renderMeter(bool lit) {
    const PixelRect& m = kMeter;
    Canvas canvas(m.width(), m.height(), m.left, m.top);
    canvas.fillPixels([](int, int) { return kMeterBack; });
    cairo_t* cr = canvas.cr();
    // One lamp row and one dark row per segment, so that the lit part always ends between
    // two segments.
    const int ladderX = m.left + 1, ladderWidth = 7;
    for (int segment = 0; segment < kMeterSegments; ++segment) {
        Rgb edge, core;
        meterSegmentColours(segment, lit, edge, core);
        const int y = m.top + 2 * segment;
        fillRect(cr, ladderX, y, ladderWidth, 1, edge);
        fillRect(cr, ladderX + 2, y, ladderWidth - 4, 1, core);
    }
    for (int decibels : {0, 3, 6, 9}) {
        const int row = meterRowForDecibels(decibels);
        char digit[2] = {static_cast<char>('0' + decibels), 0};
        fillRect(cr, m.left + 9, m.top + row, 2, 1, kMeterScale);
        const int digitTop = std::min(std::max(row - 2, 1), m.height() - 6);
        pixelDigits(cr, digit, m.left + 12, m.top + digitTop, kMeterScale);
    }
    return canvas.opaqueImage();
}

Image renderDryButton() {
    const Image states[2] = {renderDryState(false), renderDryState(true)};
    return stack(states, 2);
}

Image renderGateLed() {
    const Image states[3] = {renderLedState(kLedGreen), renderLedState(kLedYellow), renderLedState(kLedRed)};
    return stack(states, 3);
}

Image renderPushButton() {
    constexpr int kWidth = 30, kHeight = 20;
    Image states[2];
    for (int on = 0; on < 2; ++on) {
        Canvas canvas(kWidth, kHeight);
        canvas.fillPixels([](int, int) { return kMetal; });
        cairo_t* cr = canvas.cr();
        roundedRect(cr, 1, 1, kWidth - 2, kHeight - 2, 3);
        setColour(cr, {0, 0, 0}, 0.55);
        cairo_fill(cr);
        roundedRect(cr, 2, 2 + on, kWidth - 4, kHeight - 4 - on, 2);
        linearFill(cr, 0, 2, 0, kHeight - 2, on ? kCapMid : kCapLight, on ? kCapMid : kCapDark);
        drawLamp(cr, kWidth / 2.0, kHeight / 2.0 + on * 0.5, 3.0, kButtonLampOn, on != 0);
        states[on] = canvas.opaqueImage();
    }
    return stack(states, 2);
}

Image renderAboutCard() {
    const int w = kAboutCard.width(), h = kAboutCard.height();
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    cairo_rectangle(cr, 0, 0, w, h);
    linearFill(cr, 0, 0, 0, h, kCardTop, kCardBottom);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    setColour(cr, kCardBorder);
    cairo_stroke(cr);
    fillRect(cr, 1, 1, w - 2, 1, {255, 255, 255}, 0.55);
    fillRect(cr, 1, 1, 1, h - 2, {255, 255, 255}, 0.35);
    fillRect(cr, 1, h - 2, w - 2, 1, {0, 0, 0}, 0.18);

    // A decaying impulse response as the card's picture.
    const double baseX = 208, baseY = 112, span = 102, tall = 62;
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 34; ++i) {
        const double t = i / 33.0;
        const double jitter = 0.55 + 0.45 * std::fabs(std::sin(i * 12.9898) * 0.9);
        const double height = std::round(tall * std::exp(-3.2 * t) * (i == 0 ? 1.0 : jitter));
        const double x = std::round(baseX + t * span) + 0.5;
        cairo_move_to(cr, x, baseY);
        cairo_line_to(cr, x, baseY - std::max(height, 1.0));
        setColour(cr, kCardAccent, 0.85 - 0.4 * t);
        cairo_stroke(cr);
    }
    fillRect(cr, static_cast<int>(baseX) - 2, static_cast<int>(baseY), static_cast<int>(span) + 6, 1, kCardBorder, 0.6);
    fillRect(cr, static_cast<int>(baseX) - 2, static_cast<int>(baseY) + 1, static_cast<int>(span) + 6, 1,
             {255, 255, 255}, 0.5);

    engravedText(cr, kProductName, Font{30, true}, 22, 52, Align::Left);
    engravedText(cr, kVersionText, Font{11, false}, 24, 72, Align::Left);
    engravedText(cr, kSubtitle, Font{11, false}, 24, 88, Align::Left);
    fillRect(cr, 24, 98, 120, 2, kCardAccent);
    fillRect(cr, 18, 128, w - 36, 1, kRuleShadow);
    fillRect(cr, 18, 129, w - 36, 1, {255, 255, 255}, 0.6);
    engravedText(cr, kCreditsText, Font{10, false}, 24, 146, Align::Left);
    engravedText(cr, kCardHint, Font{9, false}, w - 20, h - 12, Align::Right, shade(kEngraveInk, 40));
    engravedText(cr, kVendorName, Font{12, true}, 24, h - 12, Align::Left);
    return canvas.opaqueImage();
}

}  // namespace artwork
