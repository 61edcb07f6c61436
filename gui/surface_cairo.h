// Native raster surface: an RGB image. Lines, fills and copies write pixels directly so
// the pixel rules hold exactly; Cairo and fontconfig render the text.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "gui/draw_surface.h"

class CairoSurface : public DrawSurface {
public:
    // With owns set, the image is destroyed with the surface.
    CairoSurface(cairo_surface_t* image, bool owns);
    ~CairoSurface() override;

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void setPen(int penStyle, int width, Color color) override;
    bool setBrush(Color color) override;
    void setBackColor(Color color) override;
    void setTextColor(Color color) override;
    void fillRect(const Rect& r) override;
    void selectFont(const FontRequest& font) override;
    void drawText(const char* text, const Rect& r, bool opaque, unsigned format) override;

    cairo_surface_t* image() const { return image_; }
    int width() const;
    int height() const;
    // 0x00RRGGBB; reading outside the image gives 0.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t rgb);
    // Copy of w x h pixels from raw rows (0x00RRGGBB); with keyed, pixels equal to key are
    // skipped. Both sides are clipped to their images.
    void blit(int x, int y, int w, int h, const std::uint32_t* src, int srcStride, int srcWidth, int srcHeight, int sx,
              int sy, bool keyed, std::uint32_t key);
    std::uint32_t* rows() const;
    int strideWords() const;

    Color penColor() const { return penColor_; }
    Color brushColor() const { return brushColor_; }
    Color backColor() const { return backColor_; }
    Color textColor() const { return textColor_; }
    const FontRequest& font() const { return font_; }

private:
    void plot(int x, int y);

    cairo_surface_t* image_;
    bool owns_;
    Point position_;
    Color penColor_;
    int penStyle_ = kPenSolid;
    int penWidth_ = 1;
    int dashPhase_ = 0;
    Color brushColor_;
    Color backColor_;
    Color textColor_;
    FontRequest font_{"Arial", 12, 400, false, false, false};
};
