// Compares the pictures the GDI surface drew (dumped by test_gui_gdi.exe under wine) with
// the same cases drawn here on the Cairo surface: every pixel equal outside text, and for
// text the same placement and colour.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "drawing_cases.h"

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ")";
}

Box inkOf(const Picture& p, const Rect& area) {
    Box box;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (p.at(x, y) != kPaper) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// The colour covering most of the area apart from the paper: the full text colour where
// glyph stems are solid, the fill colour behind opaque text.
std::uint32_t dominantColour(const Picture& p, const Rect& area) {
    std::map<std::uint32_t, int> counts;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (p.at(x, y) != kPaper) ++counts[p.at(x, y)];
    std::uint32_t best = kPaper;
    int most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) {
            best = colour;
            most = n;
        }
    return best;
}

bool inText(const DrawingCase& c, int x, int y) {
    for (const Rect& r : c.textAreas)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

std::string gdiFolder() {
    const char* folder = std::getenv("HALLMERE_GDI_PICTURES");
    return folder ? folder : "";
}

// How far a text edge may move between the surfaces: glyph rasterisers differ by a pixel.
constexpr int kTextEdgeSlack = 1;
// The far end of a line of text may move one pixel more: wine realises bold "Arial" by
// emboldening the regular face, each glyph a pixel wider than the true bold Cairo uses.
constexpr int kTextEndSlack = 2;

class SurfacesAgree : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(SurfacesAgree, PixelForPixelOutsideGlyphs) {
    const DrawingCase& c = drawingCase(GetParam());
    ASSERT_FALSE(gdiFolder().empty()) << "HALLMERE_GDI_PICTURES names no folder";
    Picture gdi;
    ASSERT_TRUE(readPpm(gdiFolder() + "/" + c.name + ".ppm", gdi.width, gdi.height, gdi.pixels))
        << "no GDI picture of " << c.name;
    ASSERT_EQ(gdi.width, c.width);
    ASSERT_EQ(gdi.height, c.height);

    RenderedCase rendered(c);
    Picture cairo{c.width, c.height, rendered.canvas.pixels()};
    if (const char* keep = std::getenv("HALLMERE_CAIRO_PICTURES"))
        writePpm(std::string(keep) + "/" + c.name + ".ppm", c.width, c.height, cairo.pixels);

    int differing = 0;
    std::ostringstream first;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            if (inText(c, x, y) || gdi.at(x, y) == cairo.at(x, y)) continue;
            if (++differing <= 8)
                first << " (" << x << "," << y << ") gdi " << std::hex << gdi.at(x, y) << " cairo " << cairo.at(x, y)
                      << std::dec;
        }
    EXPECT_EQ(differing, 0) << "pixels differ outside text:" << first.str();

    for (const Rect& area : c.textAreas) {
        Box g = inkOf(gdi, area), n = inkOf(cairo, area);
        ASSERT_EQ(g.empty(), n.empty()) << "text in one picture only; gdi " << g << " cairo " << n;
        if (g.empty()) continue;
        std::ostringstream both;
        both << "text at " << area.left << "," << area.top << ": gdi " << g << " cairo " << n;
        EXPECT_LE(std::abs(g.left - n.left), kTextEdgeSlack) << both.str();
        EXPECT_LE(std::abs(g.right - n.right), kTextEndSlack) << both.str();
        EXPECT_LE(std::abs(g.top - n.top), kTextEdgeSlack) << both.str();
        EXPECT_LE(std::abs(g.bottom - n.bottom), kTextEdgeSlack) << both.str();
        EXPECT_EQ(dominantColour(gdi, area), dominantColour(cairo, area)) << both.str();
        RecordProperty("text_" + c.name + "_" + std::to_string(area.left) + "_" + std::to_string(area.top), both.str());
        std::printf("%s\n", both.str().c_str());
    }
}

INSTANTIATE_TEST_SUITE_P(AllCases, SurfacesAgree, ::testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const DrawingCase& c : drawingCases()) names.push_back(c.name);
                             return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });
