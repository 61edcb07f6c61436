// The toolkit's platform hooks in the browser: images and offscreens are rows in the
// module's memory, copied by the raster surface's rules; the pointer is the page's, as its
// window layer reports it (frame_window_web.h).
#include <cmath>
#include <new>
#include <vector>

#include "gui/draw_context.h"
#include "gui/frame_window_web.h"
#include "gui/image_lookup.h"
#include "gui/module_instance.h"
#include "gui/platform.h"
#include "gui/surface_web.h"

namespace {

struct Image {
    int width;
    int height;
    std::vector<std::uint32_t> pixels;
};

EmbeddedImageLookup imageLookup = nullptr;
EmbeddedScaledImageLookup scaledImageLookup = nullptr;
void* moduleHandle = nullptr;

std::uint32_t pixelOf(Color c) { return RasterSurface::toPixel(c); }

}  // namespace

void setEmbeddedImageLookup(EmbeddedImageLookup lookup) { imageLookup = lookup; }
EmbeddedImageLookup embeddedImageLookup() { return imageLookup; }
void setEmbeddedScaledImageLookup(EmbeddedScaledImageLookup lookup) { scaledImageLookup = lookup; }
EmbeddedScaledImageLookup embeddedScaledImageLookup() { return scaledImageLookup; }
void setGuiModuleInstance(void* instance) { moduleHandle = instance; }
void* guiModuleInstance() { return moduleHandle; }

PointerInput& systemPointer() { return pagePointer(); }

void* startFramePlatform() { return nullptr; }
void stopFramePlatform(void*) {}

DrawSurface* createOffscreenSurface(Frame*, int width, int height) {
    return new (std::nothrow) WebSurface(width, height);
}

void copySurface(DrawSurface& target, int x, int y, int w, int h, DrawSurface& source, int sx, int sy) {
    auto& from = static_cast<RasterSurface&>(source);
    static_cast<RasterSurface&>(target).blit(x, y, w, h, from.rows(), from.strideWords(), from.width(), from.height(),
                                             sx, sy, false, 0);
}

void* loadBitmapImage(int resourceId, int& width, int& height) {
    if (!imageLookup) return nullptr;
    const EmbeddedImage* found = imageLookup(resourceId & 0xFFFF);
    if (!found || !found->pixels || found->width <= 0 || found->height <= 0) return nullptr;
    auto* image = new (std::nothrow) Image{found->width, found->height, {}};
    if (!image) return nullptr;
    image->pixels.assign(found->pixels, found->pixels + std::size_t(found->width) * found->height);
    width = found->width;
    height = found->height;
    return image;
}

void freeBitmapImage(void* image) { delete static_cast<Image*>(image); }

void drawBitmapImage(void* image, DrawContext& context, const Rect& r, Point offset, bool keyed, Color key) {
    if (!context.surface()) return;
    const auto& source = *static_cast<Image*>(image);
    const Point shift = context.drawingOffset();
    static_cast<RasterSurface&>(*context.surface())
        .blit(r.left + shift.h, r.top + shift.v, r.width(), r.height(), source.pixels.data(), source.width,
              source.width, source.height, offset.h, offset.v, keyed, pixelOf(key));
}

// The page carries the 100 % set only; a panel drawn at a scale resamples it.
void* loadScaledBitmapImage(int resourceId, int percent, int& width, int& height) {
    (void)resourceId, (void)percent, (void)width, (void)height;
    return nullptr;
}

void drawBitmapImageScaled(void* image, DrawContext& context, const Rect& r, double sx, double sy, double factor,
                           bool keyed, Color key) {
    if (!context.surface() || !(factor > 0)) return;
    const auto& source = *static_cast<Image*>(image);
    auto& target = static_cast<RasterSurface&>(*context.surface());
    // The nearest source pixel of each target pixel's centre.
    for (int y = r.top; y < r.bottom; ++y) {
        const int fy = int(std::floor(sy + (y - r.top + 0.5) / factor));
        if (fy < 0 || fy >= source.height) continue;
        for (int x = r.left; x < r.right; ++x) {
            const int fx = int(std::floor(sx + (x - r.left + 0.5) / factor));
            if (fx < 0 || fx >= source.width) continue;
            const std::uint32_t p = source.pixels[std::size_t(fy) * source.width + fx];
            if (!keyed || p != pixelOf(key)) target.setPixel(x, y, p);
        }
    }
}
