// Windows raster surface: one GDI device context, with the pen, brush and font this
// surface made selected into it and the original objects put back at destruction.
#pragma once

#include <windows.h>

#include "gui/draw_surface.h"

class GdiSurface : public DrawSurface {
public:
    // The device context stays the caller's; it is released by whoever got it.
    explicit GdiSurface(HDC dc);
    ~GdiSurface() override;

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void setPen(int penStyle, int width, Color color) override;
    bool setBrush(Color color) override;
    void setBackColor(Color color) override;
    void setTextColor(Color color) override;
    void fillRect(const Rect& r) override;
    void selectFont(const FontRequest& font) override;
    void drawText(const char* text, const Rect& r, bool opaque, unsigned format) override;

    HDC dc() const { return dc_; }

protected:
    HDC dc_;
    bool ownsDc_ = false;  // memory contexts are deleted with their surface

private:
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ oldPen_ = nullptr;
    HGDIOBJ oldBrush_ = nullptr;
    HGDIOBJ oldFont_ = nullptr;
};

// A memory device context with its own bitmap, for offscreens.
class GdiMemorySurface : public GdiSurface {
public:
    GdiMemorySurface(HDC compatibleWith, int width, int height);
    ~GdiMemorySurface() override;

private:
    HBITMAP bitmap_;
    HGDIOBJ previousBitmap_;
};

// Colour-keyed copy of w x h pixels; TransparentBlt when available, else a mask in three passes.
using TransparentBltProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
// The msimg32 entry keyedBlit uses, or null for the mask path. Every frame sets it at
// construction; the drawing tests swap it to run both paths.
TransparentBltProc keyedBlitEntry();
void setKeyedBlitEntry(TransparentBltProc entry);
void keyedBlit(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, COLORREF key);
