// Shows one image of a vertical strip, chosen by the value.
#pragma once

#include "gui/control.h"

class MovieBitmap : public Control {
public:
    MovieBitmap(const Rect& size, ControlListener* listener, int tag, int frameCount, int frameHeight, Bitmap* strip,
                const Point& offset = Point());
    ~MovieBitmap() override;

    void draw(DrawContext* context) override;

    // The strip's source offset for the current value.
    Point imageOffset() const;

protected:
    Point bitmapOffset;
    int frameCount;
    int frameHeight;
};
