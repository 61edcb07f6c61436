// The raster surface behind a DrawContext: one device context on Windows, one image
// natively. The context keeps the toolkit's rules; a surface only does what it is told.
#pragma once

#include "gui/geometry.h"

// Font request in the platform's terms: a character height, not a cell height.
struct FontRequest {
    const char* face;
    int height;  // pixels
    int weight;  // 400 normal, 700 bold
    bool italic;
    bool underline;
    bool decorative;  // symbol family rather than a swiss one
};

// Text format bits, with the platform's values.
enum : unsigned {
    kTextLeft = 0x0,
    kTextCenter = 0x1,
    kTextRight = 0x2,
    kTextVCenter = 0x4,
    kTextSingleLine = 0x20,
    kTextNoPrefix = 0x800
};

enum { kPenSolid = 0, kPenDot = 2 };

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    virtual void moveTo(Point p) = 0;
    virtual void lineTo(Point p) = 0;  // the end pixel is not drawn
    virtual void setPen(int penStyle, int width, Color color) = 0;
    virtual bool setBrush(Color color) = 0;  // false: the previous brush stays
    virtual void setBackColor(Color color) = 0;
    virtual void setTextColor(Color color) = 0;
    // Fills columns left..right-1 and rows top..bottom-1 with the current brush.
    virtual void fillRect(const Rect& r) = 0;
    virtual void selectFont(const FontRequest& font) = 0;
    virtual void drawText(const char* text, const Rect& r, bool opaque, unsigned format) = 0;
};
