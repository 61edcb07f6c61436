#include "gui/bitmap.h"

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
}

void Bitmap::release() {
    if (refCount_ <= 0) return;
    if (--refCount_ == 0) delete this;
}

void Bitmap::draw(DrawContext* context, const Rect& rect, Point offset) {
    if (image_ && context) drawBitmapImage(image_, *context, rect, offset, false, Color());
}

void Bitmap::drawTransparent(DrawContext* context, const Rect& rect, Point offset) {
    if (image_ && context) drawBitmapImage(image_, *context, rect, offset, true, transparentColor_);
}
