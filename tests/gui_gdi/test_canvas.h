// A drawing surface in memory whose pixels the tests can read: a Cairo image natively, a GDI
// memory device context on a 32-bit DIB section under Windows. The same cases draw on both.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/draw_context.h"

class TestCanvas {
public:
    TestCanvas(int width, int height, std::uint32_t paper);
    ~TestCanvas();
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;

    // A new context drawing on the canvas; the caller deletes it.
    DrawContext* makeContext();
    // 0x00RRGGBB; outside the canvas 0xFF000000, which no drawing produces.
    std::uint32_t pixel(int x, int y) const;
    std::vector<std::uint32_t> pixels() const;
    int width() const { return width_; }
    int height() const { return height_; }
    // The device context under Windows, null natively.
    void* nativeDc() const;

private:
    struct Impl;
    Impl* impl_;
    int width_;
    int height_;
};

// An image in the platform's bitmap format (what a bitmap resource loads as), from rows of
// 0x00RRGGBB words; free it with freeBitmapImage.
void* makeTestImage(int width, int height, const std::vector<std::uint32_t>& pixels);

// Chooses the colour-keyed copy path: the system's keyed blit, or the three-pass mask path.
// Natively there is one path; under Windows the system entry comes from the frame platform.
enum class KeyedPath { System, Mask };
void useKeyedPath(KeyedPath path);
// True when the system path is present (always natively).
bool systemKeyedBlitAvailable();

// The font the surface has selected now, in the platform's terms.
struct SelectedFont {
    std::string face;        // as requested
    std::string actualFace;  // what the system picked for it
    int height = 0;          // negative: a character height
    int weight = 0;
    bool italic = false;
    bool underline = false;
    int pitchAndFamily = 0;
    int cellHeight = 0;  // ascent + descent of the realised font, in pixels
};
SelectedFont selectedFont(DrawContext& context);
