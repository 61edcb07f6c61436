// The pixel rules of the draw context, checked on the platform's own surface: GDI under
// Windows, Cairo natively. The same assertions hold on both.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "drawing_cases.h"
#include "gui/offscreen_context.h"
#include "gui/platform.h"

namespace {

struct InkBox {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;
    bool empty() const { return right < 0; }
};

InkBox inkOf(const TestCanvas& canvas, const Rect& area, std::uint32_t background) {
    InkBox box;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (canvas.pixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

int count(const TestCanvas& canvas, std::uint32_t rgb) {
    int n = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) n += canvas.pixel(x, y) == rgb;
    return n;
}

}  // namespace

namespace {

// Every pixel of a box (left, top, right, bottom, all inclusive) has one colour.
struct Probe {
    int left, top, right, bottom;
    std::uint32_t rgb;
};
Probe at(int x, int y, std::uint32_t rgb) { return {x, y, x, y, rgb}; }

struct PixelRule {
    const char* drawing;
    std::vector<Probe> probes;
    std::vector<std::pair<std::uint32_t, int>> counts;  // colour, pixels of it on the canvas
};

}  // namespace

TEST(SurfacePixels, RectanglesAndLinesCoverExactlyTheirPixels) {
    const PixelRule rules[] = {
        // Outlines are inclusive, also with no width or no height.
        {"stroke_rect",
         {{0, 0, 10, 0, kRed},
          {0, 10, 10, 10, kRed},
          {0, 0, 0, 10, kRed},
          {10, 0, 10, 10, kRed},
          {1, 1, 9, 9, kPaper},
          at(11, 0, kPaper),
          at(0, 11, kPaper),
          at(37, 20, kGreen),
          at(15, 20, kGreen),
          {5, 25, 5, 35, kGreen},
          {10, 30, 20, 30, kGreen},
          at(6, 30, kPaper)},
         {}},
        // Fills cover the strict interior.
        {"fill_rect",
         {{1, 1, 9, 9, kBlue},
          {0, 0, 11, 0, kPaper},
          {0, 0, 0, 11, kPaper},
          {10, 0, 11, 11, kPaper},
          {0, 10, 11, 11, kPaper},
          at(16, 4, kGreen),
          at(36, 19, kGreen),
          at(37, 19, kPaper),
          at(4, 31, kPaper),
          at(9, 31, kGreen)},
         {{kGreen, 21 * 16 + 1}}},
        // GDI orders swapped edges itself, keeping the first edge the inclusive one; the
        // interior rule is applied before that. (20, 5, 10, 15) fills columns 11..21, rows
        // 6..14; (25, 30, 35, 20) columns 26..34, rows 21..31; (30, 35, 30, 35) the pixel (31, 36).
        {"fill_inverted",
         {{11, 6, 21, 14, kBlue},
          at(22, 10, kPaper),
          at(10, 10, kPaper),
          at(15, 5, kPaper),
          at(15, 15, kPaper),
          {26, 21, 34, 31, kBlue},
          at(30, 20, kPaper),
          at(25, 25, kPaper),
          at(31, 36, kBlue)},
         {{kBlue, 11 * 9 + 9 * 11 + 1}}},
        // Fill and outline tile the rect without gaps or overlap, in either order.
        {"fill_and_stroke",
         {{6, 6, 8, 7, kBlue},
          {5, 5, 9, 5, kRed},
          {5, 8, 9, 8, kRed},
          {5, 5, 5, 8, kRed},
          {9, 5, 9, 8, kRed},
          {20, 20, 30, 20, kRed},
          {30, 20, 30, 30, kRed},
          {21, 21, 29, 29, kBlue}},
         {}},
        // Lines omit their end pixel, whichever way they run.
        {"lines",
         {{2, 5, 7, 5, kRed},
          at(8, 5, kPaper),
          at(1, 5, kPaper),
          at(20, 20, kRed),
          at(21, 21, kRed),
          at(22, 22, kRed),
          at(23, 23, kRed),
          at(24, 24, kPaper),
          {30, 7, 30, 8, kRed},
          at(30, 10, kRed),
          at(30, 6, kPaper),
          {7, 2, 12, 2, kRed},
          at(6, 2, kPaper),
          at(35, 35, kRed),
          at(34, 36, kRed),
          at(33, 37, kPaper),
          at(0, 39, kGreen),
          at(38, 1, kGreen),
          at(39, 0, kPaper)},
         {}},
        // Lines passing exactly between two pixels take their minor step late going right-down,
        // down-right, left-down (mostly horizontal) and right-up (mostly vertical), early going
        // right-up and left-up (mostly horizontal), left-down and left-up (mostly vertical).
        {"slopes_ties",
         {at(7, 25, kRed), at(34, 17, kRed), at(9, 2, kRed), at(20, 25, kRed), at(7, 19, kRed), at(34, 38, kRed),
          at(29, 5, kRed), at(24, 17, kRed)},
         {}},
    };
    for (const PixelRule& rule : rules) {
        RenderedCase r(drawingCase(rule.drawing));
        for (const Probe& p : rule.probes)
            for (int y = p.top; y <= p.bottom; ++y)
                for (int x = p.left; x <= p.right; ++x)
                    EXPECT_EQ(r.canvas.pixel(x, y), p.rgb) << rule.drawing << " at " << x << "," << y;
        for (const auto& [rgb, n] : rule.counts) EXPECT_EQ(count(r.canvas, rgb), n) << rule.drawing;
    }
}

TEST(SurfacePixels, SlopedLinesHaveOnePixelPerMajorStep) {
    RenderedCase r(drawingCase("slopes"));
    const TestCanvas& c = r.canvas;
    // (0,0) to (17,5): one pixel in each of columns 0..16 and none in column 17.
    for (int x = 0; x <= 17; ++x) {
        int lit = 0;
        for (int y = 0; y <= 6; ++y) lit += c.pixel(x, y) == kRed;
        EXPECT_EQ(lit, x < 17 ? 1 : 0) << x;
    }
    EXPECT_EQ(c.pixel(0, 0), kRed);
    EXPECT_EQ(c.pixel(3, 8), kRed);
    EXPECT_EQ(c.pixel(8, 30), kPaper);
    EXPECT_EQ(c.pixel(38, 12), kRed);
    EXPECT_EQ(c.pixel(21, 17), kPaper);
}

TEST(SurfacePixels, DottedLinesRunThreeOnThreeOff) {
    RenderedCase r(drawingCase("dotted"));
    const TestCanvas& c = r.canvas;
    for (int x = 0; x < 30; ++x) EXPECT_EQ(c.pixel(x, 3), (x / 3) % 2 == 0 ? kRed : kPaper) << x;
    EXPECT_EQ(c.pixel(30, 3), kPaper);
    EXPECT_EQ(c.pixel(0, 6), kRed);
    // Every line starts the pattern afresh: the second segment begins with a dot.
    for (int x = 0; x < 14; ++x) {
        bool on = x < 5 ? x < 3 : x - 5 < 3 || (x - 5 >= 6 && x - 5 < 9);
        EXPECT_EQ(c.pixel(x, 8), on ? kRed : kPaper) << x;
    }
    for (int y = 2; y < 30; ++y) EXPECT_EQ(c.pixel(35, y), ((y - 2) / 3) % 2 == 0 ? kRed : kPaper) << y;
    for (int x = 0; x < 30; ++x) EXPECT_EQ(c.pixel(x, 38), kRed) << x;
}

TEST(SurfacePixels, DottedOutlineStillClosesItsCorners) {
    RenderedCase r(drawingCase("dotted_rect"));
    const TestCanvas& c = r.canvas;
    EXPECT_EQ(c.pixel(2, 2), kRed);
    int lit = 0;
    for (int x = 2; x <= 30; ++x) lit += c.pixel(x, 2) == kRed;
    EXPECT_GT(lit, 10);
    EXPECT_LT(lit, 20);
}

TEST(SurfaceText, LeftAlignedTextStartsOnePixelInAndIsCentred) {
    RenderedCase first(drawingCase("text_left"));
    InkBox a = inkOf(first.canvas, Rect(0, 0, 60, 40), kPaper);
    ASSERT_FALSE(a.empty()) << "no text drawn";
    EXPECT_GE(a.left, 6);
    EXPECT_LE(a.left, 8);
    EXPECT_NEAR((a.top + a.bottom) / 2.0, 15.0, 3.0);
    EXPECT_GT(count(first.canvas, kRed), 0) << "no pixel in the full text colour";

    RenderedCase moved(drawingCase("text_left_moved"));
    InkBox b = inkOf(moved.canvas, Rect(0, 0, 60, 40), kPaper);
    EXPECT_EQ(b.top, a.top + 6);
    EXPECT_EQ(b.bottom, a.bottom + 6);
    EXPECT_EQ(b.left, a.left);
}

TEST(SurfaceText, AlignmentsPlaceTheSameTextLeftCentreAndRight) {
    RenderedCase r(drawingCase("text_align"));
    const auto& areas = r.drawn.textAreas;
    InkBox left = inkOf(r.canvas, areas[0], kPaper);
    InkBox centre = inkOf(r.canvas, areas[1], kPaper);
    InkBox right = inkOf(r.canvas, areas[2], kPaper);
    ASSERT_FALSE(left.empty() || centre.empty() || right.empty());
    int width = left.right - left.left;
    EXPECT_EQ(centre.right - centre.left, width);
    EXPECT_EQ(right.right - right.left, width);
    EXPECT_LE(left.left, 5);
    EXPECT_GE(right.right, 74);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 40.0, 2.0);
    // The same vertical place in each of the three equal rects.
    EXPECT_EQ(centre.top - areas[1].top, left.top - areas[0].top);
    EXPECT_EQ(right.top - areas[2].top, left.top - areas[0].top);
}

TEST(SurfaceText, OpaqueTextPaintsTheFillColourOnlyWhenAsked) {
    RenderedCase r(drawingCase("text_opaque"));
    const TestCanvas& c = r.canvas;
    int blueLeft = 0, blueRight = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 80; ++x) (x < 40 ? blueLeft : blueRight) += c.pixel(x, y) == kBlue;
    EXPECT_GT(blueLeft, 0);
    EXPECT_EQ(blueRight, 0);
    InkBox cell = inkOf(c, Rect(0, 20, 80, 40), kPaper);
    ASSERT_FALSE(cell.empty());
    EXPECT_EQ(cell.left, 1);  // the background starts where the left-aligned text does
    EXPECT_EQ(c.pixel(cell.left, cell.top), kGreen);
    EXPECT_EQ(c.pixel(cell.left, cell.bottom), kGreen);
}

TEST(SurfaceText, NullTextDrawsNothing) {
    RenderedCase r(drawingCase("text_null"));
    EXPECT_EQ(count(r.canvas, kPaper), 40 * 20);
}

TEST(SurfaceFonts, FontRequestsFollowTheTable) {
    TestCanvas canvas(4, 4, kPaper);
    std::unique_ptr<DrawContext> context(canvas.makeContext());

    context->selectFont(9, 0, 0);
    SelectedFont f = selectedFont(*context);
    EXPECT_EQ(f.face, "Arial");
    EXPECT_EQ(f.height, -12);
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.pitchAndFamily, 0x22);
    RecordProperty("arial_face", f.actualFace);

    context->selectFont(0, 0, 0);
    EXPECT_EQ(selectedFont(*context).weight, 700);
    context->selectFont(-3, 0, 0);
    EXPECT_EQ(selectedFont(*context).height, -12);

    context->selectFont(7, 20, kStyleBold);
    f = selectedFont(*context);
    EXPECT_EQ(f.face, "Symbol");
    EXPECT_EQ(f.height, -20);
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.pitchAndFamily, 0x50);
    EXPECT_FALSE(f.italic);

    context->selectFont(3, 0, kStyleItalic | kStyleUnderline);
    f = selectedFont(*context);
    EXPECT_EQ(f.face, "Arial");
    EXPECT_EQ(f.height, -12);
    EXPECT_EQ(f.weight, 400);
    EXPECT_TRUE(f.italic);
    EXPECT_TRUE(f.underline);
    EXPECT_EQ(f.pitchAndFamily, 0x22);

    context->selectFont(kFontVerySmall, 0, kStyleBold);
    f = selectedFont(*context);
    EXPECT_EQ(f.height, -9);
    EXPECT_EQ(f.weight, 700);
    EXPECT_FALSE(f.underline);
}

class KeyedCopies : public ::testing::TestWithParam<const char*> {};

TEST_P(KeyedCopies, OnlyTheExactKeyIsTransparent) {
    RenderedCase r(drawingCase(GetParam()));
    if (r.drawn.keyedPath == KeyedPath::System && !systemKeyedBlitAvailable()) GTEST_SKIP() << "no system keyed blit";
    const TestCanvas& c = r.canvas;
    std::vector<std::uint32_t> image = keyedImagePixels();
    auto source = [&](int x, int y) { return image[y * kKeyedImageWidth + x]; };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            std::uint32_t s = source(x, y);
            EXPECT_EQ(c.pixel(2 + x, 2 + y), s) << "opaque " << x << "," << y;
            EXPECT_EQ(c.pixel(10 + x, 2 + y), s == 0xFFFFFF ? kPaper : s) << "white key";
            EXPECT_EQ(c.pixel(18 + x, 2 + y), s == 0 ? kPaper : s) << "black key";
            EXPECT_EQ(c.pixel(2 + x, 8 + y), s == 0xFEFFFF ? kPaper : s) << "near-white key";
        }
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            std::uint32_t s = source(2 + x, 1 + y);
            EXPECT_EQ(c.pixel(10 + x, 8 + y), s == 0xFFFFFF ? kPaper : s) << x << "," << y;
            EXPECT_EQ(c.pixel(18 + x, 8 + y), s) << x << "," << y;
        }
    EXPECT_EQ(c.pixel(12, 8), kPaper);
    EXPECT_EQ(c.pixel(20, 9), kPaper);
}

INSTANTIATE_TEST_SUITE_P(BothPaths, KeyedCopies, ::testing::Values("keyed_system", "keyed_mask"));

TEST(SurfaceOffscreen, StartsInItsBackgroundAndCopiesInOneBlit) {
    RenderedCase r(drawingCase("offscreen"));
    const TestCanvas& c = r.canvas;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 16; ++x) {
            std::uint32_t expected = 0;
            if (x >= 3 && x <= 12 && y >= 3 && y <= 19) expected = kRed;
            if (y == 30) expected = kGreen;
            EXPECT_EQ(c.pixel(5 + x, 5 + y), expected) << x << "," << y;
        }
    EXPECT_EQ(c.pixel(4, 5), kPaper);
    EXPECT_EQ(c.pixel(21, 44), kPaper);
    EXPECT_EQ(c.pixel(5, 45), kPaper);
    EXPECT_EQ(c.pixel(25, 10), kGreen);  // row 30 of the offscreen, from offset (8, 25)
    EXPECT_EQ(c.pixel(32, 14), 0u);
    EXPECT_EQ(c.pixel(33, 14), kPaper);
}

namespace {

// Each channel within a few steps: the two surfaces filter with their own arithmetic.
bool near(std::uint32_t got, std::uint32_t want) {
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 6) return false;
    return true;
}

std::uint32_t mix(std::uint32_t from, std::uint32_t to, double part) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
        out |= std::uint32_t(a + (b - a) * part + 0.5) << shift;
    }
    return out;
}

}  // namespace

// A keyed image at a scale between the sets: drawn down, or up, its keyed pixels blend with
// what is under them like the rest, smoothly rather than picked pixel by pixel.
TEST(SurfaceScaled, AKeyedImageAtAnotherSizeBlendsItsEdges) {
    constexpr std::uint32_t kKey = 0xFFFFFF;
    void* image = makeTestImage(4, 1, {kKey, kKey, kRed, kRed});
    void* edge = makeTestImage(2, 1, {kKey, kRed});
    TestCanvas canvas(20, 4, kPaper);
    {
        std::unique_ptr<DrawContext> c(canvas.makeContext());
        drawBitmapImageScaled(image, *c, Rect(2, 1, 4, 2), 0, 0, 0.5, true, kColorTransparent);
        drawBitmapImageScaled(edge, *c, Rect(6, 1, 7, 2), 0, 0, 0.5, true, kColorTransparent);
        drawBitmapImageScaled(edge, *c, Rect(10, 1, 14, 2), 0, 0, 2.0, true, kColorTransparent);
    }
    freeBitmapImage(image);
    freeBitmapImage(edge);
    const struct {
        int x;
        std::uint32_t want;
    } probes[] = {{2, kPaper},
                  {3, kRed},
                  {6, mix(kPaper, kRed, 0.5)},
                  {10, kPaper},
                  {11, mix(kPaper, kRed, 0.25)},
                  {12, mix(kPaper, kRed, 0.75)},
                  {13, kRed},
                  {14, kPaper}};
    for (const auto& p : probes)
        EXPECT_TRUE(near(canvas.pixel(p.x, 1), p.want)) << p.x << ": " << std::hex << canvas.pixel(p.x, 1);
}
