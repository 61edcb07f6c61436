#include "gui/surface_web.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <vector>

namespace {

// The canvas's measure of a line of text: its advance and the font's ascent and descent, in
// pixels as the canvas reports them.
struct TextMetrics {
    float advance;
    float ascent;
    float descent;
};

// The page's side (plugin/web/panel_text.js) turns the font request into a CSS font.
// clang-format off
EM_JS(void, hallmere_measure_text, (const char* text, const char* face, int height, int weight, int italic,
                                    TextMetrics* out), {
    const context = Module.hallmereTextContext(1, 1);
    context.font = Module.hallmereFont(UTF8ToString(face), height, weight, italic);
    const metrics = context.measureText(Module.hallmereLatin1(text));
    HEAPF32[(out >> 2)] = metrics.width;
    HEAPF32[(out >> 2) + 1] = metrics.fontBoundingBoxAscent;
    HEAPF32[(out >> 2) + 2] = metrics.fontBoundingBoxDescent;
});

// Draws the text at (0, baseline) of a width x height canvas and writes each pixel's
// coverage (0..255) into coverage.
EM_JS(void, hallmere_rasterise_text, (const char* text, const char* face, int height, int weight, int italic,
                                      int width, int rows, int baseline, unsigned char* coverage), {
    const context = Module.hallmereTextContext(width, rows);
    context.clearRect(0, 0, width, rows);
    context.font = Module.hallmereFont(UTF8ToString(face), height, weight, italic);
    context.fillStyle = '#fff';
    context.textBaseline = 'alphabetic';
    context.fillText(Module.hallmereLatin1(text), 0, baseline);
    const pixels = context.getImageData(0, 0, width, rows).data;
    for (let i = 0; i < width * rows; ++i) HEAPU8[coverage + i] = pixels[i * 4 + 3];
});
// clang-format on

// Glyph pixels are on or off, as the native surface draws them: the canvas's smoothing
// would blur the panel's small display text.
constexpr unsigned char kInkCoverage = 128;

}  // namespace

WebSurface::WebSurface(std::uint32_t* rows, int width, int height)
    : OwnedRows(0), RasterSurface(rows, width, width, height) {}

WebSurface::WebSurface(int width, int height)
    : OwnedRows(std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0))),
      RasterSurface(words.data(), width, width, height) {}

void WebSurface::drawText(const char* text, const Rect& r, bool opaque, unsigned format) {
    if (!text || !rows()) return;
    const FontRequest& request = font();
    TextMetrics metrics{};
    hallmere_measure_text(text, request.face, request.height, request.weight, request.italic, &metrics);
    const int ascent = int(metrics.ascent + 0.5f), descent = int(metrics.descent + 0.5f);
    const int textWidth = int(metrics.advance + 0.5f);
    const TextPlace place = placeText(r, format, textWidth, ascent, descent);

    // Everything lands inside r, as a clip would have it.
    const Rect clip(std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width()), std::min(r.bottom, height()));
    auto put = [&](int x, int y, std::uint32_t pixel) {
        if (x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom) setPixel(x, y, pixel);
    };
    if (opaque) {
        for (int y = place.top; y < place.top + place.cellHeight; ++y)
            for (int x = place.left; x < place.left + textWidth; ++x) put(x, y, toPixel(backColor()));
    }
    // The canvas row of the baseline sits ascent rows down; a row more below the cell for an
    // underline.
    const int canvasWidth = std::max(textWidth + request.height, 1), canvasRows = place.cellHeight + 2;
    std::vector<unsigned char> coverage(std::size_t(canvasWidth) * canvasRows);
    hallmere_rasterise_text(text, request.face, request.height, request.weight, request.italic, canvasWidth,
                            canvasRows, ascent, coverage.data());
    const std::uint32_t ink = toPixel(textColor());
    for (int y = 0; y < canvasRows; ++y)
        for (int x = 0; x < canvasWidth; ++x)
            if (coverage[std::size_t(y) * canvasWidth + x] >= kInkCoverage) put(place.left + x, place.top + y, ink);
    if (request.underline)
        for (int x = place.left; x < place.left + textWidth; ++x) put(x, place.baseline, ink);
}
