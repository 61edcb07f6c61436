// Linear control: a track bitmap with a handle bitmap, composed offscreen.
#pragma once

#include "gui/control.h"

class OffscreenContext;

enum {
    kSliderHorizontal = 1,
    kSliderVertical = 2,
    kSliderLeft = 8,     // handle drawn at the value's fraction along the axis
    kSliderRight = 16,   // mouse maps inverted
    kSliderBottom = 32,  // as 8
    kSliderTop = 64      // as 16
};

class Slider : public Control {
public:
    Slider(const Rect& size, ControlListener* listener, int tag, int handleStart, int handleEnd, Bitmap* handle,
           Bitmap* track, const Point& offset, int style);
    ~Slider() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, Point& where) override;
    int keyDown(KeyCode* key) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;
    bool detached(View* parent) override;
    bool attached(View* parent) override;

    virtual void setDrawHandleTransparent(bool flag);
    virtual void setFreeClick(bool flag);
    virtual bool getFreeClick() const;
    virtual void setHandleOffset(const Point& offset);
    virtual void setHandle(Bitmap* bitmap);
    virtual Bitmap* getHandle() const;
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

    // The handle's rectangle for the current value, in control coordinates.
    Rect handleRect() const;
    OffscreenContext* getOffscreen() const { return offscreen; }

protected:
    bool horizontal() const { return (style & kSliderHorizontal) != 0; }
    float drawnFraction() const;

    Point bitmapOffset;
    Point handleOffset;
    Bitmap* handle = nullptr;
    OffscreenContext* offscreen = nullptr;
    int handleWidth = 1;
    int handleHeight = 1;
    int handleRange;
    int style;
    int handleMin = 0;
    int handleMax = 0;
    int trackStart;
    int controlWidth;
    int controlHeight;
    float zoomFactor;
    bool drawHandleTransparent = true;
    bool freeClick = true;
};

class HorizontalSlider : public Slider {
public:
    HorizontalSlider(const Rect& size, ControlListener* listener, int tag, int handleStart, int handleEnd,
                     Bitmap* handle, Bitmap* track, const Point& offset = Point(), int style = kSliderLeft)
        : Slider(size, listener, tag, handleStart, handleEnd, handle, track, offset, style | kSliderHorizontal) {}
};

class VerticalSlider : public Slider {
public:
    VerticalSlider(const Rect& size, ControlListener* listener, int tag, int handleStart, int handleEnd, Bitmap* handle,
                   Bitmap* track, const Point& offset = Point(), int style = kSliderBottom)
        : Slider(size, listener, tag, handleStart, handleEnd, handle, track, offset, style | kSliderVertical) {}
};
