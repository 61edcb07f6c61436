#include "gui/bitmap.h"

#include <cmath>

#include "gui/draw_context.h"
#include "gui/platform.h"

Bitmap::Bitmap(int resourceId) : resourceId_(resourceId) {
    int width = 0, height = 0;
    image_ = loadBitmapImage(resourceId & 0xFFFF, width, height);
    if (image_) {
        width_ = width;
        height_ = height;
    }
    setTransparentColor(kColorTransparent);
}

Bitmap::~Bitmap() {
    if (image_) freeBitmapImage(image_);
    for (void* image : scaled_)
        if (image) freeBitmapImage(image);
}

void Bitmap::release() {
    if (refCount_ <= 0) return;
    if (--refCount_ == 0) delete this;
}

void Bitmap::draw(DrawContext* context, const Rect& rect, Point offset) { drawAt(context, rect, offset, false); }

void Bitmap::drawTransparent(DrawContext* context, const Rect& rect, Point offset) {
    drawAt(context, rect, offset, true);
}

int Bitmap::setFor(double scale) {
    // Enlarging a smaller set would blur or block the picture; drawing a larger one down
    // keeps it sharp.
    int chosen = -1;
    for (int i = 0; i < kScaledSetCount; ++i) {
        if (!scaledTried_[i]) {
            scaledTried_[i] = true;
            int width = 0, height = 0;
            scaled_[i] = loadScaledBitmapImage(resourceId_ & 0xFFFF, kScaledSetPercents[i], width, height);
        }
        if (!scaled_[i]) continue;
        chosen = i;
        if (kScaledSetPercents[i] >= scale * 100 - 1e-6) break;
    }
    return chosen;
}

void Bitmap::drawAt(DrawContext* context, const Rect& rect, Point offset, bool keyed) {
    if (!image_ || !context) return;
    const Color key = keyed ? transparentColor_ : Color();
    const double scale = context->scale();
    if (scale == 1.0) {
        drawBitmapImage(image_, *context, rect, offset, keyed, key);
        return;
    }
    const int set = setFor(scale);
    const double setScale = set < 0 ? 1.0 : kScaledSetPercents[set] / 100.0;
    void* image = set < 0 ? image_ : scaled_[set];
    const Rect device = context->toDevice(rect);
    if (setScale == scale) {
        // Image and panel pixels coincide: placed by the same rounding as the rectangle.
        drawBitmapImageScaled(image, *context, device, toDevicePixel(offset.h, scale), toDevicePixel(offset.v, scale),
                              1.0, keyed, key);
        return;
    }
    // Where the rectangle's corner falls exactly, on the surface's pixels.
    const double factor = scale / setScale;
    const Point shift = context->drawingOffset(), origin = context->unitOrigin();
    const auto exact = [scale](int units, int from) { return units * scale - toDevicePixel(from, scale); };
    const double sx = offset.h * setScale + (device.left - exact(rect.left + shift.h + origin.h, origin.h)) / factor;
    const double sy = offset.v * setScale + (device.top - exact(rect.top + shift.v + origin.v, origin.v)) / factor;
    drawBitmapImageScaled(image, *context, device, sx, sy, factor, keyed, key);
}
