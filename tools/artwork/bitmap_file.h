// Plain 24-bit Windows bitmap files, the format the resource compiler takes as it is.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artwork {

// Pixels as 0x00RRGGBB words, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image() = default;
    Image(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    std::uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Writes an uncompressed bottom-up 24-bit file; the same image always gives the same bytes.
bool writeBmp(const std::string& path, const Image& image);

// Reads an uncompressed 24-bit file in either row order; false on anything else.
bool readBmp(const std::string& path, Image& image);

}  // namespace artwork
