#include "panel_art.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace artwork {
namespace {

constexpr Font kTitleFont{25, true};
constexpr Font kSubtitleFont{10, false};
constexpr Font kHeadingFont{10, true};
constexpr Font kLabelFont{10, false};
constexpr Font kCaptionFont{9, false};
constexpr Font kWindowTitleFont{9, true};
constexpr Font kVendorFont{10, true};

constexpr int kTitleX = 22;
constexpr int kTitleBaseline = 31;
constexpr int kSubtitleBaseline = 45;
constexpr double kWindowCornerRadius = 4.0;
constexpr int kScrewRadius = 3;
constexpr double kSweepEndRadius = 14.0;

double unitNoise(std::uint32_t n) {
    n = (n ^ 61u) ^ (n >> 16);
    n *= 9u;
    n ^= n >> 4;
    n *= 0x27d4eb2du;
    n ^= n >> 15;
    return (n & 0xFFFF) / 32767.5 - 1.0;
}

// Brushing depends on the row only, and repeats every kMetalPeriod rows, so that the two
// knob rows and every knob column sit on exactly the same pixels.
double metalStreak(int y) {
    const int row = ((y % kMetalPeriod) + kMetalPeriod) % kMetalPeriod;
    const auto at = [](int r) { return unitNoise(static_cast<std::uint32_t>((r + kMetalPeriod) % kMetalPeriod)); };
    const double grain = 0.6 * at(row) + 0.25 * at(row - 1) + 0.15 * at(row + 1);
    const double wave = std::sin(row * 2.0 * M_PI * 3.0 / kMetalPeriod);
    return grain * kMetalStreakDepth + wave * 0.8;
}

// A brighter sheen along the top and a little falloff along the bottom, clear of the knobs.
double metalLight(int y) {
    if (y < 56) return (56 - y) * 10.0 / 56;
    if (y > 205) return -(y - 205) * 9.0 / (kPanelHeight - 205);
    return 0;
}

// Signed distance from a pixel centre to the window's rounded outline, negative inside.
double windowDistance(double px, double py) {
    const PixelRect& w = kOutputWindow;
    const double r = kWindowCornerRadius;
    const double hx = w.width() / 2.0 - r, hy = w.height() / 2.0 - r;
    const double cx = (w.left + w.right) / 2.0, cy = (w.top + w.bottom) / 2.0;
    const double qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - r;
}

// True where the nearest window edge is the top or the left one, which the light from
// the upper left leaves in shadow.
bool shadowSide(double px, double py) {
    const PixelRect& w = kOutputWindow;
    return std::max(w.top - py, w.left - px) >= std::max(py - w.bottom, px - w.right);
}

Rgb windowColour(int y) {
    const double t = std::clamp((y - kOutputWindow.top) / double(kOutputWindow.height()), 0.0, 1.0);
    return shade(mix(kWindowTop, kWindowBottom, t), static_cast<int>(std::lround(metalStreak(y) * 0.35)));
}

void displayField(cairo_t* cr, int x, int y, int w, int h, bool onMetal) {
    // A recessed slot: shade above and left, light below and right.
    fillRect(cr, x - 1, y - 1, w + 2, 1, {0, 0, 0}, onMetal ? 0.30 : 0.45);
    fillRect(cr, x - 1, y, 1, h, {0, 0, 0}, onMetal ? 0.18 : 0.30);
    fillRect(cr, x - 1, y + h, w + 2, 1, onMetal ? kEngraveLight : Rgb{120, 126, 134}, onMetal ? 0.85 : 0.40);
    fillRect(cr, x + w, y, 1, h, onMetal ? kEngraveLight : Rgb{120, 126, 134}, onMetal ? 0.55 : 0.25);
    fillRect(cr, x, y, w, h, kDisplayField);
}

void screw(cairo_t* cr, double cx, double cy) {
    cairo_arc(cr, cx, cy + 0.5, kScrewRadius + 0.6, 0, 2 * M_PI);
    setColour(cr, kEngraveLight, 0.9);
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, kScrewRadius + 0.5, 0, 2 * M_PI);
    setColour(cr, {96, 100, 106});
    cairo_fill(cr);
    cairo_pattern_t* face = cairo_pattern_create_linear(cx - 3, cy - 3, cx + 3, cy + 3);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.86, 0.87, 0.88);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.55, 0.57, 0.60);
    cairo_arc(cr, cx, cy, kScrewRadius - 0.3, 0, 2 * M_PI);
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    // Cross slot at 45 degrees.
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, cx - 2.0, cy - 2.0);
    cairo_line_to(cr, cx + 2.0, cy + 2.0);
    cairo_move_to(cr, cx - 2.0, cy + 2.0);
    cairo_line_to(cr, cx + 2.0, cy - 2.0);
    setColour(cr, {70, 73, 78}, 0.85);
    cairo_stroke(cr);
}

void printGroups(cairo_t* cr) {
    for (const Group& g : kGroups) {
        const int left = g.firstKnobX + kDisplayDx - kHeadingOverhang;
        const int right = g.lastKnobX + kDisplayDx + kDisplayWidth + kHeadingOverhang;
        engravedText(cr, g.heading, kHeadingFont, (left + right) / 2.0, kHeadingBaseline, Align::Centre);
        fillRect(cr, left, kHeadingRuleY, right - left, 1, kRuleShadow);
        fillRect(cr, left + 1, kHeadingRuleY + 1, right - left, 1, kEngraveLight);
    }
    // Engraved dividers halfway between neighbouring groups.
    for (size_t i = 1; i < std::size(kGroups); ++i) {
        const int leftEnd = kGroups[i - 1].lastKnobX + kDisplayDx + kDisplayWidth + kHeadingOverhang;
        const int rightEnd = kGroups[i].firstKnobX + kDisplayDx - kHeadingOverhang;
        const int x = (leftEnd + rightEnd) / 2;
        fillRect(cr, x, kDividerTop, 1, kDividerBottom - kDividerTop, kRuleShadow);
        fillRect(cr, x + 1, kDividerTop + 1, 1, kDividerBottom - kDividerTop, kEngraveLight);
    }
}

// Small dots at the two ends of a knob's sweep, in the corners its body leaves free.
void printSweepEnds(cairo_t* cr, const KnobPlace& k) {
    const double cx = k.x + kKnobSize / 2.0 + 0.5, cy = k.y + kKnobSize / 2.0 + 0.5;
    const double reach = kSweepEndRadius / std::sqrt(2.0);
    for (double side : {-1.0, 1.0}) {
        cairo_arc(cr, cx + side * reach, cy + reach + 0.6, 1.3, 0, 2 * M_PI);
        setColour(cr, kEngraveLight);
        cairo_fill(cr);
        cairo_arc(cr, cx + side * reach, cy + reach, 1.3, 0, 2 * M_PI);
        setColour(cr, kEngraveInk, 0.85);
        cairo_fill(cr);
    }
}

void printKnobPlaces(cairo_t* cr) {
    for (const KnobPlace& k : kKnobs) {
        printSweepEnds(cr, k);
        engravedText(cr, k.label, kLabelFont, k.x + kKnobSize / 2.0, k.y + kLabelBaselineDy, Align::Centre);
        displayField(cr, k.x + kDisplayDx, k.y + kDisplayDy, kDisplayWidth, kDisplayHeight, true);
    }
}

void printOutputWindow(cairo_t* cr) {
    const Rgb shadow{12, 13, 15};
    const auto windowText = [&](const char* text, Font font, double x, int baseline, Align align) {
        drawText(cr, text, font, x, baseline - 1, align, shadow);
        drawText(cr, text, font, x, baseline, align, kWindowInk);
    };
    windowText(kPanCaption, kWindowTitleFont, (kPanSlider.left + kPanSlider.right) / 2.0, kPanSlider.top - 4,
               Align::Centre);
    windowText(kDryCaption, kCaptionFont, (kDryButton.left + kDryButton.right) / 2.0, kDryButton.bottom + 10,
               Align::Centre);
    windowText(kOutCaption, kWindowTitleFont, kOutDisplay.left - 5, kOutDisplay.bottom - 1, Align::Right);
    displayField(cr, kPanDisplay.left, kPanDisplay.top, kPanDisplay.width(), kPanDisplay.height(), false);
    displayField(cr, kOutDisplay.left, kOutDisplay.top, kOutDisplay.width(), kOutDisplay.height(), false);
}

void printAboutLabel(cairo_t* cr) {
    const PixelRect& a = kAboutLabel;
    cairo_rectangle(cr, a.left + 0.5, a.top + 0.5, a.width() - 1, a.height() - 1);
    setColour(cr, kEngraveLight, 0.35);
    cairo_fill_preserve(cr);
    setColour(cr, {0, 0, 0}, 0.28);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    fillRect(cr, a.left + 1, a.bottom, a.width() - 1, 1, kEngraveLight, 0.9);
    engravedText(cr, kAboutCaption, kHeadingFont, (a.left + a.right) / 2.0, a.bottom - 3, Align::Centre);
}

}  // namespace

Rgb panelSurface(int x, int y) {
    const double px = x + 0.5, py = y + 0.5;
    const Rgb metal = shade(kMetal, static_cast<int>(std::lround(metalStreak(y) + metalLight(y))));
    Rgb c = metal;

    const double d = windowDistance(px, py);
    if (d < 2.0) {
        const bool shadowed = shadowSide(px, py);
        const Rgb rim = shadowed ? shade(metal, -52) : kPanelHighlight;
        const Rgb inside = windowColour(y);
        const Rgb innerEdge = shadowed ? shade(inside, -14) : shade(inside, 16);
        const double cover = std::clamp(0.5 - d, 0.0, 1.0);                  // inside the window
        const double rimCover = std::clamp(1.5 - d, 0.0, 1.0) - cover;       // one pixel around it
        const double edge = std::clamp(1.0 - std::fabs(d + 1.0), 0.0, 1.0);  // first pixel inside
        c = mix(mix(metal, rim, rimCover), mix(inside, innerEdge, edge), cover);
    }

    // Bevel of the panel's own edge.
    if (x == 0 || y == 0) c = kPanelHighlight;
    if (x == kPanelWidth - 1 || y == kPanelHeight - 1) c = kPanelEdgeShadow;
    return c;
}

void paintPanel(Canvas& canvas) {
    canvas.fillPixels(panelSurface);
    cairo_t* cr = canvas.cr();
    engravedText(cr, kProductName, kTitleFont, kTitleX, kTitleBaseline, Align::Left);
    engravedText(cr, kSubtitle, kSubtitleFont, kTitleX + 1, kSubtitleBaseline, Align::Left, shade(kEngraveInk, 24));
    printGroups(cr);
    printKnobPlaces(cr);
    printOutputWindow(cr);
    printAboutLabel(cr);
    engravedText(cr, kGateCaption, kCaptionFont, kGateLed.left - 4, kGateLed.bottom - 2, Align::Right);
    engravedText(cr, kVendorName, kVendorFont, kTitleX, kAboutLabel.bottom - 3, Align::Left);
    const double near = kScrewInset + 0.5;
    screw(cr, near, near);
    screw(cr, kPanelWidth - near, near);
    screw(cr, near, kPanelHeight - near);
    screw(cr, kPanelWidth - near, kPanelHeight - near);
}

Image renderPanel() {
    Canvas canvas(kPanelWidth, kPanelHeight);
    paintPanel(canvas);
    return canvas.opaqueImage();
}

}  // namespace artwork
