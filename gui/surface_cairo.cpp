#include "gui/surface_cairo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Text arrives in the single-byte ANSI encoding; Cairo wants UTF-8.
std::string latin1ToUtf8(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += char(*p);
        } else {
            out += char(0xC0 | (*p >> 6));
            out += char(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

const char* nativeFace(const FontRequest& font) {
    // Liberation Sans has Arial's metrics.
    if (std::strcmp(font.face, "Arial") == 0) return "Liberation Sans";
    return font.face;
}

}  // namespace

CairoSurface::CairoSurface(cairo_surface_t* image, bool owns)
    : RasterSurface(reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image)),
                    cairo_image_surface_get_stride(image) / 4, cairo_image_surface_get_width(image),
                    cairo_image_surface_get_height(image)),
      image_(image),
      owns_(owns) {}

CairoSurface::~CairoSurface() {
    if (owns_ && image_) cairo_surface_destroy(image_);
}

void CairoSurface::drawText(const char* text, const Rect& r, bool opaque, unsigned format) {
    cairo_surface_mark_dirty(image_);
    cairo_t* cr = cairo_create(image_);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_select_font_face(cr, nativeFace(font()), font().italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font().weight >= 700 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font().height);
    // GDI's cell: ascent and descent each rounded to whole pixels from the font's own
    // (unhinted) metrics; the baseline sits one ascent below the cell's top.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const int ascent = int(std::lround(fe.ascent));
    const int cellHeight = ascent + int(std::lround(fe.descent));
    // Glyphs on whole-pixel advances without smoothing, as GDI draws text by default.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);

    std::string utf8 = latin1ToUtf8(text);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    int textWidth = int(std::lround(te.x_advance));

    const TextPlace place = placeText(r, format, textWidth, ascent, cellHeight - ascent);
    const Color back = backColor(), ink = textColor();
    if (opaque) {
        cairo_set_source_rgb(cr, back.red / 255.0, back.green / 255.0, back.blue / 255.0);
        cairo_rectangle(cr, place.left, place.top, textWidth, cellHeight);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, ink.red / 255.0, ink.green / 255.0, ink.blue / 255.0);
    cairo_move_to(cr, place.left, place.baseline);
    cairo_show_text(cr, utf8.c_str());
    if (font().underline) {
        cairo_rectangle(cr, place.left, place.baseline, textWidth, 1);  // the row just under the glyphs
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image_);
}

