// A click on a small area shows a picture as the frame's modal view; the next click hides it.
#pragma once

#include "gui/control.h"

class SplashScreen : public Control {
public:
    SplashScreen(const Rect& size, ControlListener* listener, int tag, Bitmap* picture, const Rect& displayRect,
                 const Point& offset = Point());
    ~SplashScreen() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, Point& where) override;
    bool hitTest(const Point& where, int buttons = -1) override;

    virtual void closeSplash();

protected:
    Rect displayRect;
    Rect savedBounds;
    Point bitmapOffset;
};
