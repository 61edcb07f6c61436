#include <cairo.h>

#include <cmath>
#include <cstring>

#include "gui/surface_cairo.h"
#include "test_canvas.h"

struct TestCanvas::Impl {
    cairo_surface_t* image;
};

TestCanvas::TestCanvas(int width, int height, std::uint32_t paper)
    : impl_(new Impl{cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)}), width_(width), height_(height) {
    CairoSurface surface(impl_->image, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) surface.setPixel(x, y, paper);
}

TestCanvas::~TestCanvas() {
    cairo_surface_destroy(impl_->image);
    delete impl_;
}

DrawContext* TestCanvas::makeContext() {
    return new DrawContext(nullptr, new CairoSurface(impl_->image, false), nullptr);
}

std::uint32_t TestCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFF000000u;
    return CairoSurface(impl_->image, false).pixel(x, y);
}

std::vector<std::uint32_t> TestCanvas::pixels() const {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) all.push_back(pixel(x, y));
    return all;
}

void* TestCanvas::nativeDc() const { return nullptr; }

void* makeTestImage(int width, int height, const std::vector<std::uint32_t>& pixels) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    CairoSurface surface(image, false);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) surface.setPixel(x, y, pixels[size_t(y) * width + x]);
    cairo_surface_mark_dirty(image);
    return image;
}

void useKeyedPath(KeyedPath) {}
bool systemKeyedBlitAvailable() { return true; }

SelectedFont selectedFont(DrawContext& context) {
    SelectedFont result;
    auto* surface = static_cast<CairoSurface*>(context.surface());
    const FontRequest& font = surface->font();
    result.face = font.face;
    result.actualFace = std::strcmp(font.face, "Arial") == 0 ? "Liberation Sans" : font.face;
    result.height = -font.height;
    result.weight = font.weight;
    result.italic = font.italic;
    result.underline = font.underline;
    result.pitchAndFamily = font.decorative ? 0x50 : 0x22;

    // The cell height as the surface measures it for vertical centring.
    cairo_surface_t* scratch = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    cairo_t* cr = cairo_create(scratch);
    cairo_select_font_face(cr, result.actualFace.c_str(),
                           font.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font.weight >= 700 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.height);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    result.cellHeight = int(std::lround(extents.ascent) + std::lround(extents.descent));
    cairo_destroy(cr);
    cairo_surface_destroy(scratch);
    return result;
}
