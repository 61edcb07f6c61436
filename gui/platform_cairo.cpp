#include <cairo.h>

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

}  // namespace

void setEmbeddedImageLookup(EmbeddedImageLookup lookup) { imageLookup = lookup; }
EmbeddedImageLookup embeddedImageLookup() { return imageLookup; }

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
    for (int y = 0; y < found->height; ++y)
        for (int x = 0; x < found->width; ++x) pixels.setPixel(x, y, found->pixels[y * found->width + x]);
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

// Natively there is no resource section; the handle is only kept for whoever asks.
namespace {
void* moduleHandle = nullptr;
}
void setGuiModuleInstance(void* instance) { moduleHandle = instance; }
void* guiModuleInstance() { return moduleHandle; }
