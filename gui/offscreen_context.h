// A DrawContext on a memory surface of a given size; its owner composes a picture there
// and copies it out in one blit.
#pragma once

#include "gui/draw_context.h"

class OffscreenContext : public DrawContext {
public:
    // Starts entirely in the background colour, outline included. The size is in panel
    // units; the surface has the frame's scale (1 without a frame). panelOrigin: where the
    // picture will be copied to, so that at a scale it rounds as the panel does.
    OffscreenContext(Frame* frame, int width, int height, Color background = kColorBlack,
                     Point panelOrigin = Point());
    ~OffscreenContext() override = default;

    // Copies rect width x rect height units from offset to rect's top-left corner.
    void copyTo(DrawContext* destination, const Rect& rect, Point offset = Point());

    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    Color backgroundColor() const { return background_; }

private:
    int height_;
    int width_;
    Color background_;
};
