#include "gui/bitmap.h"

#include <cmath>
#include <mutex>
#include <vector>

#include "gui/draw_context.h"
#include "gui/platform.h"

namespace {

// The larger sets decoded once for the process and shared by every bitmap of an id: a host
// that opens the panel again, or a second instance's panel, does not decode them again.
// Window threads only, but a host may run two.
class ScaledImages {
public:
    ~ScaledImages() {
        for (const Entry& entry : entries_)
            if (entry.image) freeBitmapImage(entry.image);
    }

    // Null when the binary has no such image; the answer is kept either way.
    void* image(int id, int percent) {
        std::lock_guard<std::mutex> guard(lock_);
        for (const Entry& entry : entries_)
            if (entry.id == id && entry.percent == percent) return entry.image;
        int width = 0, height = 0;
        void* image = loadScaledBitmapImage(id, percent, width, height);
        entries_.push_back({id, percent, image});
        return image;
    }

private:
    struct Entry {
        int id;
        int percent;
        void* image;
    };
    std::mutex lock_;
    std::vector<Entry> entries_;
};

ScaledImages& scaledImages() {
    static ScaledImages images;
    return images;
}

}  // namespace

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
}

void Bitmap::release() {
    if (refCount_ <= 0) return;
    if (--refCount_ == 0) delete this;
}

void Bitmap::draw(DrawContext* context, const Rect& rect, Point offset) { drawAt(context, rect, offset, false); }

void Bitmap::drawTransparent(DrawContext* context, const Rect& rect, Point offset) {
    drawAt(context, rect, offset, true);
}

bool Bitmap::hasSet(int set) {
    if (!scaledTried_[set]) {
        scaledTried_[set] = true;
        scaled_[set] = scaledImages().image(resourceId_ & 0xFFFF, kScaledSetPercents[set]);
    }
    return scaled_[set] != nullptr;
}

int Bitmap::setPercentFor(double scale) {
    const int set = scale == 1.0 ? -1 : setFor(scale);
    return set < 0 ? 100 : kScaledSetPercents[set];
}

int Bitmap::setFor(double scale) {
    // The smallest set at least as large: enlarging a smaller one would blur or block the
    // picture, drawing a larger one down keeps it sharp. Only the set drawn is loaded; a
    // set the binary lacks gives way to the next larger, then to the next smaller.
    int wanted = kScaledSetCount - 1;
    for (int i = 0; i < kScaledSetCount; ++i)
        if (kScaledSetPercents[i] >= scale * 100 - 1e-6) {
            wanted = i;
            break;
        }
    for (int i = wanted; i < kScaledSetCount; ++i)
        if (hasSet(i)) return i;
    for (int i = wanted - 1; i >= 0; --i)
        if (hasSet(i)) return i;
    return -1;
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
