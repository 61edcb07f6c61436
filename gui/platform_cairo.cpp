#include <cairo.h>

#include <cmath>
#include <cstring>

#include "gui/draw_context.h"
#include "gui/image_lookup.h"
#include "gui/module_instance.h"
#include "gui/platform.h"
#include "gui/pointer_input.h"
#include "gui/surface_cairo.h"

namespace {

// Until a native window layer supplies its own pointer, nothing is pressed.
class IdlePointer : public PointerInput {
public:
    int buttons() override { return 0; }
    Point screenLocation() override { return Point(); }
};

EmbeddedImageLookup imageLookup = nullptr;
EmbeddedScaledImageLookup scaledImageLookup = nullptr;

struct PngReader {
    const unsigned char* data;
    std::size_t left;
};

cairo_status_t readPng(void* closure, unsigned char* data, unsigned int length) {
    auto* reader = static_cast<PngReader*>(closure);
    if (length > reader->left) return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, reader->data, length);
    reader->data += length;
    reader->left -= length;
    return CAIRO_STATUS_SUCCESS;
}

std::uint32_t pixelOf(Color c) { return (std::uint32_t(c.red) << 16) | (c.green << 8) | c.blue; }

// The image with the key colour see-through, for resampling: keyed pixels must not bleed.
cairo_surface_t* keyedOut(cairo_surface_t* image, std::uint32_t key) {
    const int w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    CairoSurface from(image, false), to(copy, false);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = from.pixel(x, y);
            to.rows()[y * to.strideWords() + x] = p == key ? 0 : 0xFF000000u | p;
        }
    cairo_surface_mark_dirty(copy);
    return copy;
}

}  // namespace

void setEmbeddedImageLookup(EmbeddedImageLookup lookup) { imageLookup = lookup; }
EmbeddedImageLookup embeddedImageLookup() { return imageLookup; }
void setEmbeddedScaledImageLookup(EmbeddedScaledImageLookup lookup) { scaledImageLookup = lookup; }
EmbeddedScaledImageLookup embeddedScaledImageLookup() { return scaledImageLookup; }

PointerInput& systemPointer() {
    static IdlePointer pointer;
    return pointer;
}

void* startFramePlatform() { return nullptr; }
void stopFramePlatform(void*) {}

DrawSurface* createOffscreenSurface(Frame*, int width, int height) {
    cairo_surface_t* image =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width > 0 ? width : 0, height > 0 ? height : 0);
    return new CairoSurface(image, true);
}

void copySurface(DrawSurface& target, int x, int y, int w, int h, DrawSurface& source, int sx, int sy) {
    auto& from = static_cast<CairoSurface&>(source);
    auto& to = static_cast<CairoSurface&>(target);
    to.blit(x, y, w, h, from.rows(), from.strideWords(), from.width(), from.height(), sx, sy, false, 0);
}

void* loadBitmapImage(int resourceId, int& width, int& height) {
    if (!imageLookup) return nullptr;
    const EmbeddedImage* found = imageLookup(resourceId & 0xFFFF);
    if (!found || !found->pixels || found->width <= 0 || found->height <= 0) return nullptr;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, found->width, found->height);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return nullptr;
    }
    CairoSurface pixels(image, false);
    std::uint32_t* rows = pixels.rows();
    const int stride = pixels.strideWords();
    for (int y = 0; y < found->height; ++y)
        for (int x = 0; x < found->width; ++x) rows[y * stride + x] = found->pixels[y * found->width + x] & 0xFFFFFF;
    cairo_surface_mark_dirty(image);
    width = found->width;
    height = found->height;
    return image;
}

void freeBitmapImage(void* image) { cairo_surface_destroy(static_cast<cairo_surface_t*>(image)); }

void drawBitmapImage(void* image, DrawContext& context, const Rect& r, Point offset, bool keyed, Color key) {
    if (!context.surface()) return;
    CairoSurface source(static_cast<cairo_surface_t*>(image), false);
    auto& target = static_cast<CairoSurface&>(*context.surface());
    Point shift = context.drawingOffset();
    std::uint32_t keyPixel = (std::uint32_t(key.red) << 16) | (key.green << 8) | key.blue;
    target.blit(r.left + shift.h, r.top + shift.v, r.width(), r.height(), source.rows(), source.strideWords(),
                source.width(), source.height(), offset.h, offset.v, keyed, keyPixel);
}

void* loadScaledBitmapImage(int resourceId, int percent, int& width, int& height) {
    if (!scaledImageLookup) return nullptr;
    const EmbeddedScaledImage* found = scaledImageLookup(resourceId & 0xFFFF, percent);
    if (!found || !found->png) return nullptr;
    PngReader reader{found->png, found->size};
    cairo_surface_t* decoded = cairo_image_surface_create_from_png_stream(readPng, &reader);
    if (cairo_surface_status(decoded) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(decoded);
        return nullptr;
    }
    // Copied into the toolkit's own format, whatever the decoder made.
    width = cairo_image_surface_get_width(decoded);
    height = cairo_image_surface_get_height(decoded);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    CairoSurface from(decoded, false), to(image, false);
    cairo_surface_flush(decoded);
    // Row by row: a panel's first draw at a scale waits for this.
    const std::uint32_t* source = from.rows();
    std::uint32_t* target = to.rows();
    const int sourceStride = from.strideWords(), targetStride = to.strideWords();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) target[y * targetStride + x] = source[y * sourceStride + x] & 0xFFFFFF;
    cairo_surface_mark_dirty(image);
    cairo_surface_destroy(decoded);
    return image;
}

void drawBitmapImageScaled(void* image, DrawContext& context, const Rect& r, double sx, double sy, double factor,
                           bool keyed, Color key) {
    if (!context.surface()) return;
    auto* source = static_cast<cairo_surface_t*>(image);
    auto& target = static_cast<CairoSurface&>(*context.surface());
    if (factor == 1.0 && sx == std::floor(sx) && sy == std::floor(sy)) {
        CairoSurface from(source, false);
        target.blit(r.left, r.top, r.width(), r.height(), from.rows(), from.strideWords(), from.width(), from.height(),
                    int(sx), int(sy), keyed, pixelOf(key));
        return;
    }
    cairo_surface_t* painted = keyed ? keyedOut(source, pixelOf(key)) : source;
    cairo_surface_mark_dirty(target.image());
    cairo_t* cr = cairo_create(target.image());
    cairo_rectangle(cr, r.left, r.top, r.width(), r.height());
    cairo_clip(cr);
    cairo_translate(cr, r.left, r.top);
    cairo_scale(cr, factor, factor);
    cairo_set_source_surface(cr, painted, -sx, -sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target.image());
    if (painted != source) cairo_surface_destroy(painted);
}

// Natively there is no resource section; the handle is only kept for whoever asks.
namespace {
void* moduleHandle = nullptr;
}
void setGuiModuleInstance(void* instance) { moduleHandle = instance; }
void* guiModuleInstance() { return moduleHandle; }
