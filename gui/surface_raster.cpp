#include "gui/surface_raster.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The platform's dotted cosmetic pen: three pixels on, three off.
constexpr int kDotRun = 3;

}  // namespace

RasterSurface::RasterSurface(std::uint32_t* rows, int strideWords, int width, int height)
    : rows_(rows), stride_(strideWords), width_(rows ? width : 0), height_(rows ? height : 0) {}

std::uint32_t RasterSurface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    return rows()[y * strideWords() + x] & 0xFFFFFF;
}

void RasterSurface::setPixel(int x, int y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return;
    rows()[y * strideWords() + x] = rgb & 0xFFFFFF;
}

void RasterSurface::plot(int x, int y) {
    bool on = penStyle_ != kPenDot || (dashPhase_ / kDotRun) % 2 == 0;
    if (penStyle_ == kPenDot) dashPhase_ = (dashPhase_ + 1) % (2 * kDotRun);
    if (!on) return;
    // A wide pen (a scaled panel) covers a square below and right of the point.
    for (int dy = 0; dy < penWidth_; ++dy)
        for (int dx = 0; dx < penWidth_; ++dx) setPixel(x + dx, y + dy, toPixel(penColor_));
}

void RasterSurface::moveTo(Point p) { position_ = p; }

void RasterSurface::lineTo(Point p) {
    // Bresenham as GDI draws it: the end pixel is left for the next segment, each call starts
    // the dot pattern afresh, and where the ideal line passes exactly between two pixels the
    // octant decides: GDI takes the minor step early on mostly-horizontal lines going up and
    // on mostly-vertical lines going left, late on all others.
    int x = position_.h, y = position_.v;
    int dx = p.h - x, dy = p.v - y;
    int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int major = std::abs(dx), minor = std::abs(dy);
    bool xMajor = major >= minor;
    if (!xMajor) std::swap(major, minor);
    bool bias = xMajor ? dy < 0 : dx < 0;
    int err = 2 * minor - major;
    dashPhase_ = 0;
    for (int i = 0; i < major; ++i) {
        plot(x, y);
        if (err + (bias ? 1 : 0) > 0) {
            if (xMajor)
                y += sy;
            else
                x += sx;
            err += 2 * minor - 2 * major;
        } else {
            err += 2 * minor;
        }
        if (xMajor)
            x += sx;
        else
            y += sy;
    }
    position_ = p;
}

void RasterSurface::setPen(int penStyle, int width, Color color) {
    penStyle_ = penStyle;
    penWidth_ = width > 1 ? width : 1;
    penColor_ = color;
    dashPhase_ = 0;
}

bool RasterSurface::setBrush(Color color) {
    brushColor_ = color;
    return true;
}

void RasterSurface::setBackColor(Color color) { backColor_ = color; }
void RasterSurface::setTextColor(Color color) { textColor_ = color; }

void RasterSurface::fillRect(const Rect& r) {
    // As GDI's fill: swapped edges still fill between them, the first edge staying the
    // inclusive one, so (21, 6, 10, 15) colours columns 11 to 21.
    int left = r.left, right = r.right, top = r.top, bottom = r.bottom;
    if (left > right) {
        std::swap(left, right);
        ++left;
        ++right;
    }
    if (top > bottom) {
        std::swap(top, bottom);
        ++top;
        ++bottom;
    }
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, width());
    bottom = std::min(bottom, height());
    std::uint32_t rgb = toPixel(brushColor_);
    std::uint32_t* data = rows();
    int stride = strideWords();
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) data[y * stride + x] = rgb;
}

void RasterSurface::blit(int x, int y, int w, int h, const std::uint32_t* src, int srcStride, int srcWidth,
                        int srcHeight, int sx, int sy, bool keyed, std::uint32_t key) {
    std::uint32_t* data = rows();
    const int stride = strideWords();
    // Clipped to both images once, so that the rows copy without a test per pixel: a scaled
    // panel's first draw is mostly this.
    const int firstCol = std::max({0, -x, -sx});
    const int endCol = std::min({w, width() - x, srcWidth - sx});
    const int firstRow = std::max({0, -y, -sy});
    const int endRow = std::min({h, height() - y, srcHeight - sy});
    for (int row = firstRow; row < endRow; ++row) {
        const std::uint32_t* from = src + (sy + row) * srcStride + sx;
        std::uint32_t* to = data + (y + row) * stride + x;
        if (keyed) {
            for (int col = firstCol; col < endCol; ++col) {
                const std::uint32_t value = from[col] & 0xFFFFFF;
                if (value != key) to[col] = value;
            }
        } else {
            for (int col = firstCol; col < endCol; ++col) to[col] = from[col] & 0xFFFFFF;
        }
    }
}

void RasterSurface::selectFont(const FontRequest& font) { font_ = font; }

RasterSurface::TextPlace RasterSurface::placeText(const Rect& r, unsigned format, int textWidth, int ascent,
                                                  int descent) {
    TextPlace place{r.left, r.top, 0, ascent + descent};
    if (format & kTextCenter) {
        place.left = r.left + (r.width() - textWidth) / 2;
    } else if (format & kTextRight) {
        place.left = r.right - textWidth;
    }
    // GDI halves the rect and the cell separately, so a cell taller than the rect starts
    // above it.
    if (format & kTextVCenter) place.top = r.top + r.height() / 2 - place.cellHeight / 2;
    place.baseline = place.top + ascent;
    return place;
}
