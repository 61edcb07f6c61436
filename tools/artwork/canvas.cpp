#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace artwork {
namespace {

constexpr std::uint32_t kKeyWhite = 0xFFFFFF;
constexpr std::uint32_t kNearWhite = 0xFEFEFE;

int clampByte(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0))); }

std::uint32_t pack(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

void selectFont(cairo_t* cr, Font font) {
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, font.size);
}

// Three columns by five rows, one string of 15 cells per digit.
const char* const kDigitCells[10] = {
    "###"
    "#.#"
    "#.#"
    "#.#"
    "###",  // 0
    ".#."
    "##."
    ".#."
    ".#."
    "###",  // 1
    "###"
    "..#"
    "###"
    "#.."
    "###",  // 2
    "###"
    "..#"
    ".##"
    "..#"
    "###",  // 3
    "#.#"
    "#.#"
    "###"
    "..#"
    "..#",  // 4
    "###"
    "#.."
    "###"
    "..#"
    "###",  // 5
    "###"
    "#.."
    "###"
    "#.#"
    "###",  // 6
    "###"
    "..#"
    ".#."
    ".#."
    ".#.",  // 7
    "###"
    "#.#"
    "###"
    "#.#"
    "###",  // 8
    "###"
    "#.#"
    "###"
    "..#"
    "###",  // 9
};

double currentScale = 1.0;

}  // namespace

void setArtworkScale(double scale) { currentScale = scale; }
double artworkScale() { return currentScale; }
int scaledPixel(int panelCoordinate) { return static_cast<int>(std::floor(panelCoordinate * currentScale + 0.5)); }

bool writePng(const std::string& path, const Image& image) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride)[x] = image.at(x, y);
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

bool readPng(const std::string& path, Image& image) {
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    const bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        image = Image(cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface));
        const unsigned char* data = cairo_image_surface_get_data(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                image.at(x, y) = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride)[x] &
                                 0xFFFFFF;
    }
    cairo_surface_destroy(surface);
    return ok;
}

Canvas::Canvas(int w, int h, int originX, int originY)
    : width(scaledPixel(w)), height(scaledPixel(h)), left(originX), top(originY) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    context = cairo_create(surface);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(context, options);
    cairo_font_options_destroy(options);
    if (currentScale == 1.0) {
        cairo_translate(context, -originX, -originY);
    } else {
        cairo_translate(context, -scaledPixel(originX), -scaledPixel(originY));
        cairo_scale(context, currentScale, currentScale);
    }
}

Canvas::~Canvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

void Canvas::fillPixels(const std::function<Rgb(int x, int y)>& colourAt) {
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const int x0 = scaledPixel(left), y0 = scaledPixel(top);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const Rgb c = currentScale == 1.0 ? colourAt(x + left, y + top)
                                              : colourAt(static_cast<int>(std::floor((x + x0) / currentScale)),
                                                         static_cast<int>(std::floor((y + y0) / currentScale)));
            row[x] = 0xFF000000u | pack(c.r, c.g, c.b);
        }
    }
    cairo_surface_mark_dirty(surface);
}

Image Canvas::opaqueImage() {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x] & 0xFFFFFF;
            image.at(x, y) = p == kKeyWhite ? kNearWhite : p;
        }
    }
    return image;
}

Image Canvas::keyedImage(Rgb matte) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = row[x];
            const int a = p >> 24;
            if (a < 128) {
                image.at(x, y) = kKeyWhite;
                continue;
            }
            // Premultiplied colour over the matte.
            const double rest = (255 - a) / 255.0;
            const int r = clampByte(((p >> 16) & 0xFF) + matte.r * rest);
            const int g = clampByte(((p >> 8) & 0xFF) + matte.g * rest);
            const int b = clampByte((p & 0xFF) + matte.b * rest);
            const std::uint32_t c = pack(r, g, b);
            image.at(x, y) = c == kKeyWhite ? kNearWhite : c;
        }
    }
    return image;
}

void setColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

Rgb mix(Rgb a, Rgb b, double t) {
    return {clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t), clampByte(a.b + (b.b - a.b) * t)};
}

Rgb shade(Rgb c, int delta) { return {clampByte(c.r + delta), clampByte(c.g + delta), clampByte(c.b + delta)}; }

void fillRect(cairo_t* cr, int x, int y, int w, int h, Rgb colour, double alpha) {
    cairo_rectangle(cr, x, y, w, h);
    setColour(cr, colour, alpha);
    cairo_fill(cr);
}

double textWidth(cairo_t* cr, const char* text, Font font) {
    selectFont(cr, font);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    return extents.x_advance;
}

double drawText(cairo_t* cr, const char* text, Font font, double x, int baseline, Align align, Rgb colour) {
    const double advance = textWidth(cr, text, font);
    double left = x;
    if (align == Align::Centre) left = x - advance / 2;
    if (align == Align::Right) left = x - advance;
    cairo_move_to(cr, std::round(left), baseline);
    setColour(cr, colour);
    cairo_show_text(cr, text);
    cairo_new_path(cr);
    return advance;
}

void engravedText(cairo_t* cr, const char* text, Font font, double x, int baseline, Align align, Rgb ink, Rgb light) {
    drawText(cr, text, font, x, baseline + 1, align, light);
    drawText(cr, text, font, x, baseline, align, ink);
}

void pixelDigits(cairo_t* cr, const char* digits, int x, int y, Rgb colour) {
    for (const char* d = digits; *d; ++d, x += 4) {
        if (*d < '0' || *d > '9') continue;
        const char* cells = kDigitCells[*d - '0'];
        for (int i = 0; i < 15; ++i)
            if (cells[i] == '#') cairo_rectangle(cr, x + i % 3, y + i / 3, 1, 1);
    }
    setColour(cr, colour);
    cairo_fill(cr);
}

}  // namespace artwork
