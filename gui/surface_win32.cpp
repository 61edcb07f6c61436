#include "gui/surface_win32.h"

#include <cstring>

GdiSurface::GdiSurface(HDC dc) : dc_(dc) {
    if (dc_) {
        oldBrush_ = GetCurrentObject(dc_, OBJ_BRUSH);
        oldPen_ = GetCurrentObject(dc_, OBJ_PEN);
        oldFont_ = GetCurrentObject(dc_, OBJ_FONT);
        SetBkMode(dc_, TRANSPARENT);
    }
}

GdiSurface::~GdiSurface() {
    // Hand the device context back as it was, then free what this surface made.
    if (dc_) {
        if (oldBrush_) SelectObject(dc_, oldBrush_);
        if (oldPen_) SelectObject(dc_, oldPen_);
        if (oldFont_) SelectObject(dc_, oldFont_);
        if (ownsDc_) DeleteDC(dc_);
    }
    if (brush_) DeleteObject(brush_);
    if (pen_) DeleteObject(pen_);
    if (font_) DeleteObject(font_);
}

void GdiSurface::moveTo(Point p) { MoveToEx(dc_, p.h, p.v, nullptr); }

void GdiSurface::lineTo(Point p) { LineTo(dc_, p.h, p.v); }

void GdiSurface::setPen(int penStyle, int width, Color color) {
    LOGPEN logPen;
    logPen.lopnStyle = UINT(penStyle);
    logPen.lopnWidth.x = width;
    logPen.lopnWidth.y = width;
    logPen.lopnColor = color.rgb();
    HPEN pen = CreatePenIndirect(&logPen);
    SelectObject(dc_, pen);
    if (pen_) DeleteObject(pen_);
    pen_ = pen;
}

bool GdiSurface::setBrush(Color color) {
    LOGBRUSH logBrush;
    logBrush.lbStyle = BS_SOLID;
    logBrush.lbColor = color.rgb();
    logBrush.lbHatch = 0;
    HBRUSH brush = CreateBrushIndirect(&logBrush);
    if (!brush) return false;
    SelectObject(dc_, brush);
    if (brush_) DeleteObject(brush_);
    brush_ = brush;
    return true;
}

void GdiSurface::setBackColor(Color color) { SetBkColor(dc_, color.rgb()); }

void GdiSurface::setTextColor(Color color) { SetTextColor(dc_, color.rgb()); }

void GdiSurface::fillRect(const Rect& r) {
    HGDIOBJ previousPen = SelectObject(dc_, GetStockObject(NULL_PEN));
    RECT area = {r.left, r.top, r.right, r.bottom};
    HBRUSH brush = brush_ ? brush_ : HBRUSH(GetCurrentObject(dc_, OBJ_BRUSH));
    FillRect(dc_, &area, brush);
    SelectObject(dc_, previousPen);
}

void GdiSurface::selectFont(const FontRequest& request) {
    LOGFONTA logFont;
    std::memset(&logFont, 0, sizeof logFont);
    logFont.lfHeight = -request.height;  // a character height, not a cell height
    logFont.lfWeight = request.weight;
    logFont.lfItalic = request.italic ? 1 : 0;
    logFont.lfUnderline = request.underline ? 1 : 0;
    logFont.lfCharSet = ANSI_CHARSET;
    logFont.lfOutPrecision = OUT_STRING_PRECIS;
    logFont.lfClipPrecision = CLIP_STROKE_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = request.decorative ? FF_DECORATIVE : (VARIABLE_PITCH | FF_SWISS);
    std::strncpy(logFont.lfFaceName, request.face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&logFont);
    SelectObject(dc_, font);
    if (font_) DeleteObject(font_);
    font_ = font;
}

void GdiSurface::drawText(const char* text, const Rect& r, bool opaque, unsigned format) {
    SetBkMode(dc_, opaque ? OPAQUE : TRANSPARENT);
    RECT area = {r.left, r.top, r.right, r.bottom};
    DrawTextA(dc_, text, int(std::strlen(text)), &area, format);
    SetBkMode(dc_, TRANSPARENT);
}

GdiMemorySurface::GdiMemorySurface(HDC compatibleWith, int width, int height)
    : GdiSurface(CreateCompatibleDC(compatibleWith)),
      bitmap_(CreateCompatibleBitmap(compatibleWith, width, height)),
      previousBitmap_(SelectObject(dc_, bitmap_)) {
    ownsDc_ = true;
}

GdiMemorySurface::~GdiMemorySurface() {
    SelectObject(dc_, previousBitmap_);
    if (bitmap_) DeleteObject(bitmap_);
    // The base then puts back pen, brush and font, deletes the context and its own objects.
}
