// Short-lived drawing state on one surface, made for a single paint, press or redraw.
#pragma once

#include "gui/draw_surface.h"
#include "gui/geometry.h"

class Frame;
class FrameWindow;
class PointerInput;

class DrawContext {
public:
    // Takes ownership of the surface (which may be null: such a context draws nothing but
    // still reads the pointer). The window, if any, supplies its origin and its pointer.
    DrawContext(Frame* frame, DrawSurface* surface, FrameWindow* window);
    virtual ~DrawContext();
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    void moveTo(Point p);
    void lineTo(Point p);
    void setLineStyle(int style);
    void setLineColor(Color color);
    void setFillColor(Color color);
    void setTextColor(Color color);
    void strokeRect(const Rect& r);
    void fillRect(const Rect& r);
    void selectFont(int id, int size = 0, int style = 0);
    void drawText(const char* text, const Rect& r, short opaque = 0, int align = kAlignCenter);
    int mouseButtons();
    // In panel units, like every position the context is given.
    void mouseLocation(Point& where);

    // Device pixels per panel unit: views keep their layout in units and the context draws
    // it at this scale. Made from the frame's scale; 1 draws exactly as before.
    double scale() const { return scale_; }
    void setScale(double scale);
    // The device pixel where a unit point lands after the drawing offset (halves round
    // up), and the same for a rectangle's corners.
    Point toDevice(Point units) const;
    Rect toDevice(const Rect& units) const;
    // Where the surface's top-left corner sits on the panel, in units: an offscreen for a
    // part of the panel rounds as the panel does, so its pixels line up with the panel's.
    Point unitOrigin() const { return unitOrigin_; }

    int lineStyle() const { return lineStyle_; }
    int lineWidth() const { return lineWidth_; }
    Color lineColor() const { return lineColor_; }
    Color fillColor() const { return fillColor_; }
    Color textColor() const { return textColor_; }
    int fontId() const { return fontId_; }
    int fontSize() const { return fontSize_; }
    Point windowOrigin() const { return windowOrigin_; }
    Point drawingOffset() const { return offset_; }
    Frame* frame() const { return frame_; }
    FrameWindow* window() const { return window_; }
    DrawSurface* surface() const { return surface_; }

protected:
    // For contexts that make their surface after the base is built (offscreens).
    void adoptSurface(DrawSurface* surface);
    void setUnitOrigin(Point origin) { unitOrigin_ = origin; }

private:
    void makePen();

    Point windowOrigin_;
    Point offset_;
    DrawSurface* surface_ = nullptr;
    FrameWindow* window_ = nullptr;
    Frame* frame_ = nullptr;
    int fontSize_ = 0;
    int fontId_ = 0;
    Color textColor_;
    int lineWidth_ = 1;
    Color lineColor_;
    Color fillColor_;
    int lineStyle_ = kLineStyleSolid;
    int penStyle_ = kPenSolid;
    PointerInput* pointer_ = nullptr;
    int deviceCoordinate(int units, int origin) const;

    double scale_ = 1.0;
    Point unitOrigin_;
    FontRequest font_{};
};
