// A raster surface over rows of 0x00RRGGBB words: lines, fills and copies write pixels
// directly, so the pixel rules hold exactly on every platform that draws into memory. How
// text reaches the pixels is left to the platform's surface.
#pragma once

#include <cstdint>

#include "gui/draw_surface.h"

class RasterSurface : public DrawSurface {
public:
    // The rows stay the caller's; strideWords is the distance between rows in words.
    RasterSurface(std::uint32_t* rows, int strideWords, int width, int height);

    void moveTo(Point p) override;
    void lineTo(Point p) override;
    void setPen(int penStyle, int width, Color color) override;
    bool setBrush(Color color) override;
    void setBackColor(Color color) override;
    void setTextColor(Color color) override;
    void fillRect(const Rect& r) override;
    void selectFont(const FontRequest& font) override;

    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB; reading outside the image gives 0.
    std::uint32_t pixel(int x, int y) const;
    void setPixel(int x, int y, std::uint32_t rgb);
    // Copy of w x h pixels from raw rows (0x00RRGGBB); with keyed, pixels equal to key are
    // skipped. Both sides are clipped to their images.
    void blit(int x, int y, int w, int h, const std::uint32_t* src, int srcStride, int srcWidth, int srcHeight, int sx,
              int sy, bool keyed, std::uint32_t key);
    std::uint32_t* rows() const { return rows_; }
    int strideWords() const { return stride_; }

    Color penColor() const { return penColor_; }
    Color brushColor() const { return brushColor_; }
    Color backColor() const { return backColor_; }
    Color textColor() const { return textColor_; }
    const FontRequest& font() const { return font_; }

    // Where a line of text goes in its rectangle, as the platform lays it out: the text's
    // left edge, its cell's top and baseline, from its advance width and the font's ascent
    // and descent in whole pixels.
    struct TextPlace {
        int left;
        int top;
        int baseline;
        int cellHeight;
    };
    static TextPlace placeText(const Rect& r, unsigned format, int textWidth, int ascent, int descent);

    static std::uint32_t toPixel(Color c) { return (std::uint32_t(c.red) << 16) | (c.green << 8) | c.blue; }

private:
    void plot(int x, int y);

    std::uint32_t* rows_;
    int stride_;
    int width_;
    int height_;
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
