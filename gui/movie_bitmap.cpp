#include "gui/movie_bitmap.h"

MovieBitmap::MovieBitmap(const Rect& size, ControlListener* listener, int tag, int frameCount, int frameHeight,
                         Bitmap* strip, const Point& offset)
    : Control(size, listener, tag, strip), bitmapOffset(offset), frameCount(frameCount), frameHeight(frameHeight) {}

MovieBitmap::~MovieBitmap() = default;

Point MovieBitmap::imageOffset() const {
    Point offset = bitmapOffset;
    if (value > 0.0f) offset.v += int((frameCount - 1) * value + 0.5f) * frameHeight;
    return offset;
}

void MovieBitmap::draw(DrawContext* context) {
    if (value > 1.0f) value = 1.0f;
    drawBackground(context, size_, imageOffset());
    setDirty(false);
}
