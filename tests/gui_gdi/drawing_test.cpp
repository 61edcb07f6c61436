// The pixel rules of the draw context, checked on the platform's own surface: GDI under
// Windows, Cairo natively. The same assertions hold on both.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "drawing_cases.h"
#include "gui/offscreen_context.h"

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

TEST(SurfacePixels, StrokeRectCoversTheOutlineInclusive) {
    RenderedCase r(drawingCase("stroke_rect"));
    const TestCanvas& c = r.canvas;
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(c.pixel(i, 0), kRed) << i;
        EXPECT_EQ(c.pixel(i, 10), kRed) << i;
        EXPECT_EQ(c.pixel(0, i), kRed) << i;
        EXPECT_EQ(c.pixel(10, i), kRed) << i;
    }
    EXPECT_EQ(c.pixel(1, 1), kPaper);
    EXPECT_EQ(c.pixel(9, 9), kPaper);
    EXPECT_EQ(c.pixel(11, 0), kPaper);
    EXPECT_EQ(c.pixel(0, 11), kPaper);
    EXPECT_EQ(c.pixel(37, 20), kGreen);
    EXPECT_EQ(c.pixel(15, 20), kGreen);
    for (int y = 25; y <= 35; ++y) EXPECT_EQ(c.pixel(5, y), kGreen) << y;
    for (int x = 10; x <= 20; ++x) EXPECT_EQ(c.pixel(x, 30), kGreen) << x;
    EXPECT_EQ(c.pixel(6, 30), kPaper);
}

TEST(SurfacePixels, FillRectCoversTheStrictInterior) {
    RenderedCase r(drawingCase("fill_rect"));
    const TestCanvas& c = r.canvas;
    for (int y = 0; y <= 11; ++y)
        for (int x = 0; x <= 11; ++x) {
            bool inside = x >= 1 && x <= 9 && y >= 1 && y <= 9;
            EXPECT_EQ(c.pixel(x, y), inside ? kBlue : kPaper) << x << "," << y;
        }
    EXPECT_EQ(c.pixel(16, 4), kGreen);
    EXPECT_EQ(c.pixel(36, 19), kGreen);
    EXPECT_EQ(c.pixel(37, 19), kPaper);
    EXPECT_EQ(c.pixel(4, 31), kPaper);
    EXPECT_EQ(c.pixel(9, 31), kGreen);
    EXPECT_EQ(count(c, kGreen), 21 * 16 + 1);
}

TEST(SurfacePixels, FillRectWithSwappedEdgesFillsBetweenThem) {
    // GDI orders the edges itself, keeping the first edge the inclusive one; the interior
    // rule is applied before that.
    RenderedCase r(drawingCase("fill_inverted"));
    const TestCanvas& c = r.canvas;
    // (20, 5, 10, 15) fills (21, 6, 10, 15): columns 11..21, rows 6..14.
    EXPECT_EQ(c.pixel(11, 6), kBlue);
    EXPECT_EQ(c.pixel(21, 14), kBlue);
    EXPECT_EQ(c.pixel(22, 10), kPaper);
    EXPECT_EQ(c.pixel(10, 10), kPaper);
    EXPECT_EQ(c.pixel(15, 5), kPaper);
    EXPECT_EQ(c.pixel(15, 15), kPaper);
    // (25, 30, 35, 20) fills (26, 31, 35, 20): columns 26..34, rows 21..31.
    EXPECT_EQ(c.pixel(26, 21), kBlue);
    EXPECT_EQ(c.pixel(34, 31), kBlue);
    EXPECT_EQ(c.pixel(30, 20), kPaper);
    EXPECT_EQ(c.pixel(25, 25), kPaper);
    // (30, 35, 30, 35) fills (31, 36, 30, 35): the one pixel (31, 36).
    EXPECT_EQ(c.pixel(31, 36), kBlue);
    EXPECT_EQ(count(c, kBlue), 11 * 9 + 9 * 11 + 1);
}

TEST(SurfacePixels, FillAndStrokeTileTheRectWithoutGapsOrOverlap) {
    RenderedCase r(drawingCase("fill_and_stroke"));
    const TestCanvas& c = r.canvas;
    for (int y = 5; y <= 8; ++y)
        for (int x = 5; x <= 9; ++x) EXPECT_NE(c.pixel(x, y), kPaper) << x << "," << y;
    // Filled after stroking, the outline survives: the fill stays strictly inside.
    for (int i = 20; i <= 30; ++i) {
        EXPECT_EQ(c.pixel(i, 20), kRed) << i;
        EXPECT_EQ(c.pixel(30, i), kRed) << i;
    }
    EXPECT_EQ(c.pixel(21, 21), kBlue);
    EXPECT_EQ(c.pixel(29, 29), kBlue);
}

TEST(SurfacePixels, LinesOmitTheirEndPixel) {
    RenderedCase r(drawingCase("lines"));
    const TestCanvas& c = r.canvas;
    for (int x = 2; x < 8; ++x) EXPECT_EQ(c.pixel(x, 5), kRed) << x;
    EXPECT_EQ(c.pixel(8, 5), kPaper);
    EXPECT_EQ(c.pixel(1, 5), kPaper);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.pixel(20 + i, 20 + i), kRed) << i;
    EXPECT_EQ(c.pixel(24, 24), kPaper);
    EXPECT_EQ(c.pixel(30, 10), kRed);
    EXPECT_EQ(c.pixel(30, 7), kRed);
    EXPECT_EQ(c.pixel(30, 6), kPaper);
    EXPECT_EQ(c.pixel(12, 2), kRed);
    EXPECT_EQ(c.pixel(7, 2), kRed);
    EXPECT_EQ(c.pixel(6, 2), kPaper);
    EXPECT_EQ(c.pixel(35, 35), kRed);
    EXPECT_EQ(c.pixel(34, 36), kRed);
    EXPECT_EQ(c.pixel(33, 37), kPaper);
    EXPECT_EQ(c.pixel(0, 39), kGreen);
    EXPECT_EQ(c.pixel(38, 1), kGreen);
    EXPECT_EQ(c.pixel(39, 0), kPaper);
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

TEST(SurfacePixels, TiesFollowTheOctantRule) {
    RenderedCase r(drawingCase("slopes_ties"));
    const TestCanvas& c = r.canvas;
    // Late minor step: right-down, down-right, left-down (mostly horizontal), right-up
    // (mostly vertical).
    EXPECT_EQ(c.pixel(7, 25), kRed);
    EXPECT_EQ(c.pixel(34, 17), kRed);
    EXPECT_EQ(c.pixel(9, 2), kRed);
    EXPECT_EQ(c.pixel(20, 25), kRed);
    // Early minor step: right-up and left-up (mostly horizontal), left-down and left-up
    // (mostly vertical).
    EXPECT_EQ(c.pixel(7, 19), kRed);
    EXPECT_EQ(c.pixel(34, 38), kRed);
    EXPECT_EQ(c.pixel(29, 5), kRed);
    EXPECT_EQ(c.pixel(24, 17), kRed);
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
    for (int y = 2; y < 30; ++y)
        EXPECT_EQ(c.pixel(35, y), ((y - 2) / 3) % 2 == 0 ? kRed : kPaper) << y;
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
    if (r.drawn.keyedPath == KeyedPath::System && !systemKeyedBlitAvailable())
        GTEST_SKIP() << "no system keyed blit";
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
