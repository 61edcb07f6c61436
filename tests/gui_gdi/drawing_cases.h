// Drawing cases shared by the pixel tests of both surfaces and by the image comparison of
// the Windows surface with the native one. Each case draws on a fresh canvas of paper.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "gui/draw_context.h"
#include "test_canvas.h"

constexpr std::uint32_t kPaper = 0x123456;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kGreen = 0x00FF00;

struct DrawingCase {
    std::string name;
    int width;
    int height;
    // Text rectangles: inside them glyph shapes may differ between surfaces, so only the
    // placement and colour of the text are compared there.
    std::vector<Rect> textAreas;
    KeyedPath keyedPath = KeyedPath::System;
    std::function<void(DrawContext&)> draw;
};

const std::vector<DrawingCase>& drawingCases();
const DrawingCase& drawingCase(const std::string& name);

// Draws the case on a new canvas and keeps the canvas for reading.
struct RenderedCase {
    explicit RenderedCase(const DrawingCase& c);
    const DrawingCase& drawn;
    TestCanvas canvas;
};

// The 4 x 3 image the keyed cases copy: exact white, near-whites, black and colours.
std::vector<std::uint32_t> keyedImagePixels();
constexpr int kKeyedImageWidth = 4;
constexpr int kKeyedImageHeight = 3;

// Rows of 0x00RRGGBB as a binary PPM, and back. Reading fails on anything else.
bool writePpm(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels);
bool readPpm(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels);
