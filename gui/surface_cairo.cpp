#include "gui/surface_cairo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::uint32_t toPixel(Color c) { return (std::uint32_t(c.red) << 16) | (c.green << 8) | c.blue; }

// The platform's dotted cosmetic pen: three pixels on, three off.
constexpr int kDotRun = 3;

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

CairoSurface::CairoSurface(cairo_surface_t* image, bool owns) : image_(image), owns_(owns) {}

CairoSurface::~CairoSurface() {
    if (owns_ && image_) cairo_surface_destroy(image_);
}

int CairoSurface::width() const { return cairo_image_surface_get_width(image_); }
int CairoSurface::height() const { return cairo_image_surface_get_height(image_); }

std::uint32_t* CairoSurface::rows() const {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(image_));
}

int CairoSurface::strideWords() const { return cairo_image_surface_get_stride(image_) / 4; }

std::uint32_t CairoSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    return rows()[y * strideWords() + x] & 0xFFFFFF;
}

void CairoSurface::setPixel(int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    rows()[y * strideWords() + x] = rgb & 0xFFFFFF;
}

void CairoSurface::plot(int x, int y) {
    bool on = penStyle_ != kPenDot || (dashPhase_ / kDotRun) % 2 == 0;
    if (penStyle_ == kPenDot) dashPhase_ = (dashPhase_ + 1) % (2 * kDotRun);
    if (!on) return;
    // A wide pen (a scaled panel) covers a square below and right of the point.
    for (int dy = 0; dy < penWidth_; ++dy)
        for (int dx = 0; dx < penWidth_; ++dx) setPixel(x + dx, y + dy, toPixel(penColor_));
}

void CairoSurface::moveTo(Point p) { position_ = p; }

void CairoSurface::lineTo(Point p) {
    // Bresenham as GDI draws it: the end pixel is left for the next segment, each call starts
    // the dot pattern afresh, and where the ideal line passes exactly between two pixels the
    // octant decides: GDI takes the minor step early on mostly-horizontal lines going up and
    // on mostly-vertical lines going left, late on all others.
    int x = position_.h, y = position_.v;
    int dx = p.h - x, dy = p.v - y;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int major = std::abs(dx), minor = std::abs(dy);
    bool xMajor = major >= minor;
    if (!xMajor) std::swap(major, minor);
    bool bias = xMajor ? dy < 0 : dx < 0;
    int err = 2 * minor - major;
    dashPhase_ = 0;
    for (int i = 0; i < major; ++i) {
        plot(x, y);
        if (err + (bias ? 1 : 0) > 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
    position_ = p;
}

void CairoSurface::setPen(int penStyle, int width, Color color) {
    penStyle_ = penStyle;
    penWidth_ = width > 1 ? width : 1;
    penColor_ = color;
    dashPhase_ = 0;
}

bool CairoSurface::setBrush(Color color) {
    brushColor_ = color;
    return true;
}

void CairoSurface::setBackColor(Color color) { backColor_ = color; }
void CairoSurface::setTextColor(Color color) { textColor_ = color; }

void CairoSurface::fillRect(const Rect& r) {
    // As GDI's fill: swapped edges still fill between them, the first edge staying the
    // inclusive one, so (21, 6, 10, 15) colours columns 11 to 21.
    int left = r.left, right = r.right, top = r.top, bottom = r.bottom;
    if (left > right) {
        std::swap(left, right);
        ++left;
        ++right;
    }
    if (top > bottom) {
        std::swap(top, bottom);
        ++top;
        ++bottom;
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width());
    bottom = std::min(bottom, height());
    std::uint32_t rgb = toPixel(brushColor_);
    std::uint32_t* data = rows();
    int stride = strideWords();
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) data[y * stride + x] = rgb;
}

void CairoSurface::selectFont(const FontRequest& font) { font_ = font; }

void CairoSurface::drawText(const char* text, const Rect& r, bool opaque, unsigned format) {
    cairo_surface_mark_dirty(image_);
    cairo_t* cr = cairo_create(image_);
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_select_font_face(cr, nativeFace(font_), font_.italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           font_.weight >= 700 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font_.height);
    // GDI's cell: ascent and descent each rounded to whole pixels from the font's own
    // (unhinted) metrics; the baseline sits one ascent below the cell's top.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    int ascent = int(std::lround(fe.ascent));
    int cellHeight = ascent + int(std::lround(fe.descent));
    // Glyphs on whole-pixel advances without smoothing, as GDI draws text by default.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);

    std::string utf8 = latin1ToUtf8(text);
    cairo_text_extents_t te;
    cairo_text_extents(cr, utf8.c_str(), &te);
    int textWidth = int(std::lround(te.x_advance));

    int x = r.left;
    if (format & kTextCenter) {
        x = r.left + (r.width() - textWidth) / 2;
    } else if (format & kTextRight) {
        x = r.right - textWidth;
    }
    int top = r.top;
    // GDI halves the rect and the cell separately, so a cell taller than the rect starts
    // above it.
    if (format & kTextVCenter) top = r.top + r.height() / 2 - cellHeight / 2;

    if (opaque) {
        cairo_set_source_rgb(cr, backColor_.red / 255.0, backColor_.green / 255.0, backColor_.blue / 255.0);
        cairo_rectangle(cr, x, top, textWidth, cellHeight);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, textColor_.red / 255.0, textColor_.green / 255.0, textColor_.blue / 255.0);
    int baseline = top + ascent;
    cairo_move_to(cr, x, baseline);
    cairo_show_text(cr, utf8.c_str());
    if (font_.underline) {
        cairo_rectangle(cr, x, baseline, textWidth, 1);  // the row just under the glyphs
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(image_);
}

void CairoSurface::blit(int x, int y, int w, int h, const std::uint32_t* src, int srcStride, int srcWidth,
                        int srcHeight, int sx, int sy, bool keyed, std::uint32_t key) {
    std::uint32_t* data = rows();
    const int stride = strideWords();
    // Clipped to both images once, so that the rows copy without a test per pixel: a scaled
    // panel's first draw is mostly this.
    const int firstCol = std::max({0, -x, -sx});
    const int endCol = std::min({w, width() - x, srcWidth - sx});
    const int firstRow = std::max({0, -y, -sy});
    const int endRow = std::min({h, height() - y, srcHeight - sy});
    for (int row = firstRow; row < endRow; ++row) {
        const std::uint32_t* from = src + (sy + row) * srcStride + sx;
        std::uint32_t* to = data + (y + row) * stride + x;
        if (keyed) {
            for (int col = firstCol; col < endCol; ++col) {
                const std::uint32_t value = from[col] & 0xFFFFFF;
                if (value != key) to[col] = value;
            }
        } else {
            for (int col = firstCol; col < endCol; ++col) to[col] = from[col] & 0xFFFFFF;
        }
    }
}
