#include "gui/draw_context.h"

#include <algorithm>
#include <cmath>

#include "gui/frame.h"
#include "gui/frame_window.h"
#include "gui/pointer_input.h"

DrawContext::DrawContext(Frame* frame, DrawSurface* surface, FrameWindow* window)
    : surface_(surface),
      window_(window),
      frame_(frame),
      textColor_(kColorWhite),
      lineColor_(kColorWhite),
      fillColor_(kColorBlack) {
    if (frame) scale_ = frame->scale();
    if (window) {
        windowOrigin_ = window->origin();
        pointer_ = &window->pointer();
    } else {
        pointer_ = &systemPointer();
    }
    if (surface_) {
        setLineColor(lineColor_);
        setLineStyle(lineStyle_);
        setFillColor(fillColor_);
        setTextColor(textColor_);
    }
}

DrawContext::~DrawContext() { delete surface_; }

void DrawContext::adoptSurface(DrawSurface* surface) {
    delete surface_;
    surface_ = surface;
}

void DrawContext::setScale(double scale) {
    scale_ = scale > 0 ? scale : 1.0;
    makePen();
    if (font_.face) {
        FontRequest font = font_;
        font.height = int(std::lround(font_.height * scale_));
        if (surface_) surface_->selectFont(font);
    }
}

int DrawContext::deviceCoordinate(int units, int origin) const {
    if (scale_ == 1.0) return units;
    return toDevicePixel(units + origin, scale_) - toDevicePixel(origin, scale_);
}

Point DrawContext::toDevice(Point p) const {
    return Point(deviceCoordinate(p.h + offset_.h, unitOrigin_.h), deviceCoordinate(p.v + offset_.v, unitOrigin_.v));
}

Rect DrawContext::toDevice(const Rect& r) const {
    const Point topLeft = toDevice(Point(r.left, r.top)), bottomRight = toDevice(Point(r.right, r.bottom));
    return Rect(topLeft.h, topLeft.v, bottomRight.h, bottomRight.v);
}

void DrawContext::makePen() {
    // A line one unit wide at any scale.
    const int width = scale_ == 1.0 ? lineWidth_ : std::max(1, int(std::lround(lineWidth_ * scale_)));
    if (surface_) surface_->setPen(penStyle_, width, lineColor_);
}

void DrawContext::moveTo(Point p) {
    if (surface_) surface_->moveTo(toDevice(p));
}

void DrawContext::lineTo(Point p) {
    if (surface_) surface_->lineTo(toDevice(p));
}

void DrawContext::setLineStyle(int style) {
    lineStyle_ = style;
    penStyle_ = style == kLineStyleDotted ? kPenDot : kPenSolid;
    makePen();
}

void DrawContext::setLineColor(Color color) {
    lineColor_ = color;
    makePen();
}

void DrawContext::setFillColor(Color color) {
    fillColor_ = color;
    if (!surface_) return;
    surface_->setBackColor(color);
    surface_->setBrush(color);  // on failure the previous brush simply stays in use
}

void DrawContext::setTextColor(Color color) {
    textColor_ = color;
    if (surface_) surface_->setTextColor(color);
}

void DrawContext::strokeRect(const Rect& r) {
    // All four corners get drawn because each side ends where the next begins.
    moveTo(Point(r.left, r.top));
    lineTo(Point(r.right, r.top));
    lineTo(Point(r.right, r.bottom));
    lineTo(Point(r.left, r.bottom));
    lineTo(Point(r.left, r.top));
}

void DrawContext::fillRect(const Rect& r) {
    if (!surface_) return;
    // The strict interior of what strokeRect draws for the same rect.
    surface_->fillRect(toDevice(Rect(r.left + 1, r.top + 1, r.right, r.bottom)));
}

void DrawContext::selectFont(int id, int size, int style) {
    if (id < 0 || id >= kFontCount) id = kFontSystem;
    if (size == 0) size = kFontTable[id].defaultSize;
    fontId_ = id;
    fontSize_ = size;
    FontRequest font;
    font.face = kFontTable[id].face;
    font.height = size;
    font.weight = (style & kStyleBold) || id == kFontSystem ? 700 : 400;
    font.italic = (style & kStyleItalic) != 0;
    font.underline = (style & kStyleUnderline) != 0;
    font.decorative = id == kFontSymbol;
    font_ = font;
    font.height = scale_ == 1.0 ? size : int(std::lround(size * scale_));
    if (surface_) surface_->selectFont(font);
}

void DrawContext::drawText(const char* text, const Rect& r, short opaque, int align) {
    if (!text || !surface_) return;
    unsigned format = kTextSingleLine | kTextVCenter | kTextNoPrefix;
    Rect where(r);
    if (align == kAlignCenter) {
        format |= kTextCenter;
    } else if (align == kAlignRight) {
        format |= kTextRight;
    } else {
        where.left += 1;  // left-aligned text sits one pixel in
    }
    surface_->drawText(text, toDevice(where), opaque != 0, format);
}

int DrawContext::mouseButtons() { return pointer_->buttons(); }

void DrawContext::mouseLocation(Point& where) {
    Point screen = pointer_->screenLocation();
    where = Point(screen.h - windowOrigin_.h, screen.v - windowOrigin_.v);
    if (scale_ != 1.0) where = Point(int(std::floor(where.h / scale_)), int(std::floor(where.v / scale_)));
}
