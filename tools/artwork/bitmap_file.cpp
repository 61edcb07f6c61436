#include "bitmap_file.h"

#include <cstdio>

namespace artwork {
namespace {

void put16(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(value & 0xFF);
    out.push_back((value >> 8) & 0xFF);
}

void put32(std::vector<unsigned char>& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

std::uint32_t get16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t get32(const unsigned char* p) { return get16(p) | (get16(p + 2) << 16); }

int rowBytes(int width) { return (width * 3 + 3) & ~3; }

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

}  // namespace

bool writeBmp(const std::string& path, const Image& image) {
    const int stride = rowBytes(image.width);
    const std::uint32_t dataSize = static_cast<std::uint32_t>(stride) * image.height;
    std::vector<unsigned char> out;
    out.reserve(kFileHeaderSize + kInfoHeaderSize + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, kFileHeaderSize + kInfoHeaderSize + dataSize);
    put32(out, 0);
    put32(out, kFileHeaderSize + kInfoHeaderSize);
    put32(out, kInfoHeaderSize);
    put32(out, image.width);
    put32(out, image.height);  // positive: bottom-up rows
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);  // BI_RGB
    put32(out, dataSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            out.push_back(p & 0xFF);
            out.push_back((p >> 8) & 0xFF);
            out.push_back((p >> 16) & 0xFF);
        }
        for (int pad = image.width * 3; pad < stride; ++pad) out.push_back(0);
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

bool readBmp(const std::string& path, Image& image) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<unsigned char> data;
    unsigned char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) data.insert(data.end(), buffer, buffer + got);
    std::fclose(file);

    if (data.size() < kFileHeaderSize + kInfoHeaderSize || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t offset = get32(&data[10]);
    const std::uint32_t headerSize = get32(&data[14]);
    const int width = static_cast<std::int32_t>(get32(&data[18]));
    const int signedHeight = static_cast<std::int32_t>(get32(&data[22]));
    if (headerSize < kInfoHeaderSize || get16(&data[28]) != 24 || get32(&data[30]) != 0) return false;
    const int height = signedHeight < 0 ? -signedHeight : signedHeight;
    if (width <= 0 || height <= 0) return false;
    const int stride = rowBytes(width);
    if (offset + static_cast<size_t>(stride) * height > data.size()) return false;

    image = Image(width, height);
    for (int row = 0; row < height; ++row) {
        const int y = signedHeight > 0 ? height - 1 - row : row;
        const unsigned char* p = &data[offset + static_cast<size_t>(row) * stride];
        for (int x = 0; x < width; ++x, p += 3) image.at(x, y) = p[0] | (p[1] << 8) | (p[2] << 16);
    }
    return true;
}

}  // namespace artwork
