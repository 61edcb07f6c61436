// Two-state button: the off image on top of its bitmap, the on image below.
#pragma once

#include "gui/control.h"

class OnOffButton : public Control {
public:
    OnOffButton(const Rect& size, ControlListener* listener, int tag, Bitmap* background);
    ~OnOffButton() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, Point& where) override;
};
