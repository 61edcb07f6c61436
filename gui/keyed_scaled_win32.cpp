#include "gui/keyed_scaled_win32.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "gui/dib_format_win32.h"

namespace {

// The image's pixels as 0x00RRGGBB rows; empty when they cannot be read.
std::vector<std::uint32_t> pixelsOf(HBITMAP image, int& width, int& height) {
    BITMAP info;
    if (GetObjectA(image, sizeof info, &info) != int(sizeof info)) return {};
    width = info.bmWidth;
    height = info.bmHeight;
    std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height));
    BITMAPINFO format = topDown32(width, height);
    HDC screen = GetDC(nullptr);
    const bool read = GetDIBits(screen, image, 0, UINT(height), pixels.data(), &format, DIB_RGB_COLORS) == height;
    ReleaseDC(nullptr, screen);
    if (!read) return {};
    for (std::uint32_t& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// The part of image pixel `at` inside [from, to), along one axis.
double overlap(int at, double from, double to) { return std::min(to, at + 1.0) - std::max(from, double(at)); }

}  // namespace

void drawKeyedScaled(HDC target, const Rect& r, HBITMAP image, double sx, double sy, double factor, COLORREF key) {
    int iw = 0, ih = 0;
    const std::vector<std::uint32_t> source = pixelsOf(image, iw, ih);
    const int w = r.width(), h = r.height();
    if (source.empty() || w <= 0 || h <= 0) return;

    // The target under r, averaged into where the image is keyed out.
    BITMAPINFO format = topDown32(w, h);
    void* bits = nullptr;
    HBITMAP scratch = CreateDIBSection(target, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!scratch) return;
    HDC scratchDc = CreateCompatibleDC(target);
    HGDIOBJ before = SelectObject(scratchDc, scratch);
    BitBlt(scratchDc, 0, 0, w, h, target, r.left, r.top, SRCCOPY);
    GdiFlush();
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::uint32_t keyPixel = (std::uint32_t(GetRValue(key)) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    const double half = std::max(0.5 / factor, 0.5);
    for (int y = 0; y < h; ++y) {
        const double middle = sy + (y + 0.5) / factor, top = middle - half, bottom = middle + half;
        for (int x = 0; x < w; ++x) {
            const double centre = sx + (x + 0.5) / factor, left = centre - half, right = centre + half;
            double sum[3] = {0, 0, 0}, shown = 0, total = 0;
            for (int v = std::max(0, int(std::floor(top))); v < std::min(ih, int(std::ceil(bottom))); ++v)
                for (int u = std::max(0, int(std::floor(left))); u < std::min(iw, int(std::ceil(right))); ++u) {
                    const double weight = overlap(v, top, bottom) * overlap(u, left, right);
                    const std::uint32_t p = source[std::size_t(v) * iw + u];
                    total += weight;
                    if (p == keyPixel) continue;
                    shown += weight;
                    for (int c = 0; c < 3; ++c) sum[c] += weight * ((p >> (16 - 8 * c)) & 0xFF);
                }
            if (shown == 0) continue;
            std::uint32_t& out = pixels[std::size_t(y) * w + x];
            std::uint32_t mixed = 0;
            for (int c = 0; c < 3; ++c) {
                const double under = (out >> (16 - 8 * c)) & 0xFF;
                mixed |= std::uint32_t(std::lround((sum[c] + under * (total - shown)) / total)) << (16 - 8 * c);
            }
            out = mixed;
        }
    }
    BitBlt(target, r.left, r.top, w, h, scratchDc, 0, 0, SRCCOPY);
    SelectObject(scratchDc, before);
    DeleteDC(scratchDc);
    DeleteObject(scratch);
}
