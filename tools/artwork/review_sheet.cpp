#include "review_sheet.h"

#include <cmath>
#include <cstring>

#include "canvas.h"
#include "control_art.h"
#include "panel_art.h"

namespace artwork {
namespace {

constexpr std::uint32_t kKey = 0xFFFFFF;

// Copies the part of source at panel offset (sx, sy) to panel place (x, y), w x h panel
// pixels, placed at the current scale by the rule the editor's toolkit follows.
void blit(Image& target, const Image& source, int x, int y, int sx, int sy, int w, int h, bool keyed) {
    const int left = scaledPixel(x), top = scaledPixel(y), fromX = scaledPixel(sx), fromY = scaledPixel(sy);
    const int cols = scaledPixel(x + w) - left, rows = scaledPixel(y + h) - top;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            const int fx = fromX + col, fy = fromY + row, tx = left + col, ty = top + row;
            if (fx >= source.width || fy >= source.height || tx >= target.width || ty >= target.height) continue;
            const std::uint32_t p = source.at(fx, fy);
            if (keyed && p == kKey) continue;
            target.at(tx, ty) = p;
        }
}

// Where a knob draws its handle dot for a value, as the knob control computes it.
void dotPosition(double value, int& h, int& v) {
    const float start = 3.9269907f, range = -4.712389f;
    const double angle = start + value * range;
    const double radius = 12.0, inset = 6.0;
    h = static_cast<int>(radius + std::cos(angle) * (radius - inset) + 0.5);
    v = static_cast<int>(radius - std::sin(angle) * (radius - inset) + 0.5);
}

}  // namespace

std::map<int, Image> renderBitmaps() {
    std::map<int, Image> images;
    images[1024] = renderPanel();
    images[1025] = renderAltKnobBody();
    images[1026] = renderPanHandle();
    images[1027] = renderPanTrack();
    images[1028] = renderFaderHandle();
    images[1029] = renderFaderTrack();
    images[1030] = renderMeter(false);
    images[1031] = renderMeter(true);
    images[1032] = renderKnobBody();
    images[1033] = renderKnobDot();
    images[1034] = renderDryButton();
    images[1035] = renderAboutCard();
    images[1036] = renderPushButton();
    images[1037] = renderGateLed();
    return images;
}

Image composeReview(const std::map<int, Image>& bitmaps) {
    Image sheet = bitmaps.at(1024);
    // Image sizes back in panel pixels.
    const auto u = [](int pixels) { return static_cast<int>(std::lround(pixels / artworkScale())); };
    const Image& body = bitmaps.at(1032);
    const Image& dot = bitmaps.at(1033);
    // The default program, in the order of the knob table.
    const double knobValues[] = {0.3, 0.25, 0.5, 0.25, 0.2, 0.15, 1.0, 0.0, 0.3, 0.5};
    const char* knobTexts[] = {"2170ms", "3250Hz", "50%", "12ms", "4000Hz", "150Hz", "100%", "10ms", "30%", "50%"};
    for (int i = 0; i < 10; ++i) {
        const KnobPlace& k = kKnobs[i];
        blit(sheet, body, k.x, k.y, 0, 1, kKnobSize, kKnobSize, false);
        int h, v;
        dotPosition(knobValues[i], h, v);
        blit(sheet, dot, k.x + h - u(dot.width) / 2, k.y + v - u(dot.height) / 2, 0, 0, u(dot.width), u(dot.height), true);
    }
    const Image& panTrack = bitmaps.at(1027);
    const Image& panHandle = bitmaps.at(1026);
    blit(sheet, panTrack, kPanSlider.left, kPanSlider.top, 0, 0, u(panTrack.width), u(panTrack.height), false);
    // Centre and 0 dB: the handles where the editor's sliders put them for 0.5 and 0.75.
    blit(sheet, panHandle, kPanSlider.left + 32, kPanSlider.top, 0, 0, u(panHandle.width), u(panHandle.height), true);

    const Image& faderTrack = bitmaps.at(1029);
    const Image& faderHandle = bitmaps.at(1028);
    blit(sheet, faderTrack, kOutFader.left, kOutFader.top, 0, 0, u(faderTrack.width), u(faderTrack.height), false);
    const int faderTop = static_cast<int>(0.25 * 113);
    blit(sheet, faderHandle, kOutFader.left, kOutFader.top + faderTop, 0, 0, u(faderHandle.width), u(faderHandle.height),
         true);

    // Meter at half scale: the upper 74 rows unlit.
    const Image& unlit = bitmaps.at(1030);
    const Image& lit = bitmaps.at(1031);
    blit(sheet, unlit, kMeter.left, kMeter.top, 0, 0, u(unlit.width), 74, false);
    blit(sheet, lit, kMeter.left, kMeter.top + 74, 0, 74, u(lit.width), u(lit.height) - 74, false);

    const Image& dry = bitmaps.at(1034);
    blit(sheet, dry, kDryButton.left, kDryButton.top, 0, u(dry.height) / 2, u(dry.width), u(dry.height) / 2, false);
    const Image& led = bitmaps.at(1037);
    blit(sheet, led, kGateLed.left, kGateLed.top, 0, u(led.height) / 3, u(led.width), u(led.height) / 3, false);

    // Display texts, roughly as the editor prints them.
    // The sheet is copied in pixel for pixel, whatever the scale.
    const double scale = artworkScale();
    setArtworkScale(1.0);
    Canvas text(sheet.width, sheet.height);
    text.fillPixels([&](int x, int y) {
        const std::uint32_t p = sheet.at(x, y);
        return Rgb{int(p >> 16), int((p >> 8) & 0xFF), int(p & 0xFF)};
    });
    setArtworkScale(scale);
    cairo_t* cr = text.cr();
    cairo_scale(cr, scale, scale);
    const Font displayFont{11, false};
    for (int i = 0; i < 10; ++i) {
        const KnobPlace& k = kKnobs[i];
        drawText(cr, knobTexts[i], displayFont, k.x + kDisplayDx + kDisplayWidth / 2.0, k.y + kDisplayDy + 9,
                 Align::Centre, kDisplayText);
    }
    drawText(cr, "C", displayFont, (kPanDisplay.left + kPanDisplay.right) / 2.0, kPanDisplay.bottom - 1, Align::Centre,
             kDisplayText);
    drawText(cr, "0dB", displayFont, (kOutDisplay.left + kOutDisplay.right) / 2.0, kOutDisplay.bottom - 1,
             Align::Centre, kDisplayText);
    return text.opaqueImage();
}

}  // namespace artwork
