// Value records, constant colours, the font table and the small enumerations of the toolkit.
#pragma once

#include <cmath>
#include <cstdint>

struct Point {
    std::int32_t h = 0;  // x
    std::int32_t v = 0;  // y

    Point() = default;
    Point(std::int32_t x, std::int32_t y) : h(x), v(y) {}
    bool operator==(const Point& o) const { return h == o.h && v == o.v; }
    bool operator!=(const Point& o) const { return !(*this == o); }
};

// Window coordinates, y downwards. Never normalised; all four edges count as inside.
// The device pixel where a panel coordinate lands at a scale, halves rounding up: the one
// rule the toolkit and the artwork program place everything by.
inline int toDevicePixel(int units, double scale) { return int(std::floor(units * scale + 0.5)); }

struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    Rect() = default;
    Rect(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) : left(l), top(t), right(r), bottom(b) {}
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool contains(const Point& p) const { return p.h >= left && p.h <= right && p.v >= top && p.v <= bottom; }
    bool operator==(const Rect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const Rect& o) const { return !(*this == o); }
};

struct Color {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 0;

    // The platform colour value: red in the lowest byte, alpha ignored.
    std::uint32_t rgb() const { return red | (green << 8) | (std::uint32_t(blue) << 16); }
    bool sameRgb(const Color& o) const { return red == o.red && green == o.green && blue == o.blue; }
};

extern const Color kColorTransparent;
extern const Color kColorBlack;
extern const Color kColorWhite;
extern const Color kColorGrey;
extern const Color kColorRed;
extern const Color kColorGreen;
extern const Color kColorBlue;
extern const Color kColorYellow;
extern const Color kColorMagenta;
extern const Color kColorCyan;

enum FontId {
    kFontSystem = 0,
    kFontVeryBig,
    kFontBig,
    kFontNormal,
    kFontSmall,
    kFontSmaller,
    kFontVerySmall,
    kFontSymbol,
    kFontCount
};

struct FontInfo {
    const char* face;
    int defaultSize;
};
extern const FontInfo kFontTable[kFontCount];

enum { kStyleBold = 1, kStyleItalic = 2, kStyleUnderline = 4 };
enum { kAlignLeft = 0, kAlignCenter = 1, kAlignRight = 2 };
enum { kLineStyleSolid = 0, kLineStyleDotted = 1 };

enum { kButtonLeft = 1, kButtonMiddle = 2, kButtonRight = 4, kModShift = 8, kModControl = 16, kModAlt = 32 };

enum {
    kCursorDefault = 0,
    kCursorWait,
    kCursorSizeWE,
    kCursorSizeNS,
    kCursorSizeAll,
    kCursorSizeNESW,
    kCursorSizeNWSE
};

enum { kDropFiles = 0, kDropText = 1 };

// The host's key record as the editor receives it; same layout as the plug-in interface's.
struct KeyCode {
    std::int32_t character;
    std::uint8_t virt;
    std::uint8_t modifier;
};

// Virtual keys and modifier bits of the host's key record; not those of mouseButtons.
enum { kArrowLeft = 11, kArrowUp = 12, kArrowRight = 13, kArrowDown = 14 };
enum { kKeyModShift = 1 };
