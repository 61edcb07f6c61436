#include <gtest/gtest.h>

#include <memory>

#include "gui/draw_context.h"
#include "gui/surface_cairo.h"
#include "gui_test_support.h"

namespace {

constexpr std::uint32_t kPaper = 0x123456;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kBlue = 0x0000FF;

// Records what the context asks of its surface.
class RecordingSurface : public DrawSurface {
public:
    void moveTo(Point) override {}
    void lineTo(Point) override {}
    void setPen(int style, int width, Color) override {
        penStyle = style;
        penWidth = width;
        ++pens;
    }
    bool setBrush(Color color) override {
        calls.push_back("brush");
        if (failBrush) return false;
        brush = color;
        return true;
    }
    void setBackColor(Color color) override {
        calls.push_back("back");
        back = color;
    }
    void setTextColor(Color) override {}
    void fillRect(const Rect& r) override { filled = r; }
    void selectFont(const FontRequest& f) override { font = f; }
    void drawText(const char* text, const Rect& r, bool opaque, unsigned format) override {
        lastText = text;
        textRect = r;
        textOpaque = opaque;
        textFormat = format;
        ++texts;
    }

    int penStyle = -1, penWidth = -1, pens = 0, texts = 0;
    bool failBrush = false;
    Color brush, back;
    Rect filled, textRect;
    FontRequest font{};
    std::string lastText;
    bool textOpaque = false;
    unsigned textFormat = 0;
    std::vector<std::string> calls;
};

struct Canvas {
    Canvas() : window(40, 40) {
        window.fill(kPaper);
        context.reset(window.createContext(nullptr));
    }
    TestWindow window;
    std::unique_ptr<DrawContext> context;
};

}  // namespace

TEST(DrawContextPixels, StrokeRectCoversOutlineInclusive) {
    Canvas c;
    c.context->setLineColor(kColorRed);
    c.context->strokeRect(Rect(0, 0, 10, 10));
    for (int i = 0; i <= 10; ++i) {
        EXPECT_EQ(c.window.pixel(i, 0), kRed) << i;
        EXPECT_EQ(c.window.pixel(i, 10), kRed) << i;
        EXPECT_EQ(c.window.pixel(0, i), kRed) << i;
        EXPECT_EQ(c.window.pixel(10, i), kRed) << i;
    }
    EXPECT_EQ(c.window.pixel(1, 1), kPaper);
    EXPECT_EQ(c.window.pixel(11, 0), kPaper);
    EXPECT_EQ(c.window.pixel(0, 11), kPaper);
}

TEST(DrawContextPixels, FillRectCoversStrictInterior) {
    Canvas c;
    c.context->setFillColor(kColorBlue);
    c.context->fillRect(Rect(0, 0, 10, 10));
    for (int y = 0; y <= 11; ++y) {
        for (int x = 0; x <= 11; ++x) {
            bool inside = x >= 1 && x <= 9 && y >= 1 && y <= 9;
            EXPECT_EQ(c.window.pixel(x, y), inside ? kBlue : kPaper) << x << "," << y;
        }
    }
}

TEST(DrawContextPixels, FillAndStrokeTogetherTileTheRectWithoutGaps) {
    Canvas c;
    c.context->setFillColor(kColorBlue);
    c.context->setLineColor(kColorRed);
    c.context->fillRect(Rect(5, 5, 9, 8));
    c.context->strokeRect(Rect(5, 5, 9, 8));
    for (int y = 5; y <= 8; ++y)
        for (int x = 5; x <= 9; ++x) EXPECT_NE(c.window.pixel(x, y), kPaper) << x << "," << y;
}

TEST(DrawContextPixels, LinesOmitTheirEndPixel) {
    Canvas c;
    c.context->setLineColor(kColorRed);
    c.context->moveTo(Point(2, 5));
    c.context->lineTo(Point(8, 5));
    for (int x = 2; x < 8; ++x) EXPECT_EQ(c.window.pixel(x, 5), kRed) << x;
    EXPECT_EQ(c.window.pixel(8, 5), kPaper);
    EXPECT_EQ(c.window.pixel(1, 5), kPaper);

    c.context->moveTo(Point(20, 20));
    c.context->lineTo(Point(24, 24));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(c.window.pixel(20 + i, 20 + i), kRed) << i;
    EXPECT_EQ(c.window.pixel(24, 24), kPaper);

    // Drawn upwards, the start is drawn and the end is not.
    c.context->moveTo(Point(30, 10));
    c.context->lineTo(Point(30, 6));
    EXPECT_EQ(c.window.pixel(30, 10), kRed);
    EXPECT_EQ(c.window.pixel(30, 7), kRed);
    EXPECT_EQ(c.window.pixel(30, 6), kPaper);
}

TEST(DrawContextPixels, DottedStyleLeavesGapsThatSolidFills) {
    Canvas c;
    c.context->setLineColor(kColorRed);
    c.context->setLineStyle(kLineStyleDotted);
    c.context->moveTo(Point(0, 3));
    c.context->lineTo(Point(30, 3));
    int lit = 0;
    for (int x = 0; x < 30; ++x) lit += c.window.pixel(x, 3) == kRed;
    EXPECT_EQ(lit, 15);
    EXPECT_EQ(c.window.pixel(0, 3), kRed);
    EXPECT_EQ(c.window.pixel(3, 3), kPaper);

    c.context->setLineStyle(kLineStyleSolid);
    c.context->moveTo(Point(0, 4));
    c.context->lineTo(Point(30, 4));
    for (int x = 0; x < 30; ++x) EXPECT_EQ(c.window.pixel(x, 4), kRed) << x;
}

TEST(DrawContextState, DefaultsAndPenStyleMapping) {
    auto* surface = new RecordingSurface;
    DrawContext context(nullptr, surface, nullptr);
    EXPECT_EQ(context.lineColor().rgb(), kColorWhite.rgb());
    EXPECT_EQ(context.textColor().rgb(), kColorWhite.rgb());
    EXPECT_EQ(context.fillColor().rgb(), kColorBlack.rgb());
    EXPECT_EQ(context.lineWidth(), 1);
    EXPECT_EQ(context.fontId(), 0);
    EXPECT_EQ(context.fontSize(), 0);
    EXPECT_EQ(surface->penStyle, kPenSolid);
    EXPECT_EQ(surface->penWidth, 1);

    context.setLineStyle(kLineStyleDotted);
    EXPECT_EQ(surface->penStyle, kPenDot);
    context.setLineStyle(7);  // anything else is solid
    EXPECT_EQ(surface->penStyle, kPenSolid);
    EXPECT_EQ(context.lineStyle(), 7);
}

TEST(DrawContextState, FillColourSetsBackgroundEvenWhenTheBrushFails) {
    auto* surface = new RecordingSurface;
    DrawContext context(nullptr, surface, nullptr);
    surface->calls.clear();
    surface->failBrush = true;
    context.setFillColor(kColorRed);
    EXPECT_EQ(surface->calls, (std::vector<std::string>{"back", "brush"}));
    EXPECT_EQ(surface->back.rgb(), kColorRed.rgb());
    EXPECT_EQ(surface->brush.rgb(), kColorBlack.rgb());  // the old brush stays
    EXPECT_EQ(context.fillColor().rgb(), kColorRed.rgb());
}

TEST(DrawContextFonts, TableAndSpecialRules) {
    auto* surface = new RecordingSurface;
    DrawContext context(nullptr, surface, nullptr);

    context.selectFont(9, 0, 0);
    EXPECT_EQ(context.fontId(), 0);
    EXPECT_EQ(context.fontSize(), 12);
    EXPECT_STREQ(surface->font.face, "Arial");
    EXPECT_EQ(surface->font.weight, 700);  // the system font is always bold

    context.selectFont(-1, 0, 0);
    EXPECT_EQ(context.fontId(), 0);

    context.selectFont(7, 20, kStyleBold);
    EXPECT_STREQ(surface->font.face, "Symbol");
    EXPECT_EQ(surface->font.height, 20);
    EXPECT_EQ(surface->font.weight, 700);
    EXPECT_TRUE(surface->font.decorative);

    context.selectFont(3, 0, kStyleItalic | kStyleUnderline);
    EXPECT_STREQ(surface->font.face, "Arial");
    EXPECT_EQ(surface->font.height, 12);
    EXPECT_EQ(surface->font.weight, 400);
    EXPECT_TRUE(surface->font.italic);
    EXPECT_TRUE(surface->font.underline);
    EXPECT_FALSE(surface->font.decorative);

    context.selectFont(kFontSmall);
    EXPECT_EQ(context.fontSize(), 11);
}

TEST(DrawContextText, FormatAndLeftInset) {
    auto* surface = new RecordingSurface;
    DrawContext context(nullptr, surface, nullptr);
    Rect r(10, 20, 60, 30);

    context.drawText("a", r, 0, kAlignLeft);
    EXPECT_EQ(surface->textFormat, 0x824u);
    EXPECT_EQ(surface->textRect, Rect(11, 20, 60, 30));
    context.drawText("a", r, 0, 5);  // unknown alignments are left
    EXPECT_EQ(surface->textFormat, 0x824u);
    EXPECT_EQ(surface->textRect.left, 11);

    context.drawText("a", r, 1, kAlignCenter);
    EXPECT_EQ(surface->textFormat, 0x825u);
    EXPECT_EQ(surface->textRect, r);
    EXPECT_TRUE(surface->textOpaque);

    context.drawText("a", r, 0, kAlignRight);
    EXPECT_EQ(surface->textFormat, 0x826u);
    EXPECT_EQ(surface->textRect, r);
    EXPECT_FALSE(surface->textOpaque);

    int before = surface->texts;
    context.drawText(nullptr, r, 1, kAlignLeft);
    EXPECT_EQ(surface->texts, before);
}

namespace {
struct InkBox {
    int left = 1000, top = 1000, right = -1, bottom = -1;
};
InkBox inkOf(const TestWindow& window, std::uint32_t background) {
    InkBox box;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (window.pixel(x, y) != background) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}
}  // namespace

TEST(DrawContextText, RendersInsideTheRectVerticallyCentred) {
    Canvas c;
    c.context->selectFont(kFontNormal);
    c.context->setTextColor(kColorRed);
    c.context->drawText("H", Rect(5, 0, 35, 30), 0, kAlignLeft);
    InkBox first = inkOf(c.window, kPaper);
    ASSERT_GE(first.right, 0) << "no text drawn";
    EXPECT_GE(first.left, 6);  // one pixel in from the rect
    EXPECT_LE(first.left, 8);
    EXPECT_NEAR((first.top + first.bottom) / 2.0, 15.0, 3.0);

    Canvas moved;
    moved.context->selectFont(kFontNormal);
    moved.context->setTextColor(kColorRed);
    moved.context->drawText("H", Rect(5, 6, 35, 36), 0, kAlignLeft);
    InkBox second = inkOf(moved.window, kPaper);
    EXPECT_EQ(second.top, first.top + 6);
    EXPECT_EQ(second.left, first.left);
}

TEST(DrawContextText, OpaqueTextPaintsTheFillColourBehindIt) {
    Canvas c;
    c.context->setFillColor(kColorBlue);
    c.context->setTextColor(kColorRed);
    c.context->selectFont(kFontNormal);
    c.context->drawText("ii", Rect(0, 0, 40, 20), 1, kAlignCenter);
    int blue = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) blue += c.window.pixel(x, y) == kBlue;
    EXPECT_GT(blue, 0);

    Canvas clear;
    clear.context->setFillColor(kColorBlue);
    clear.context->drawText("ii", Rect(0, 0, 40, 20), 0, kAlignCenter);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_NE(clear.window.pixel(x, y), kBlue);
}

TEST(DrawContextPointer, ButtonsAndLocationRelativeToTheWindow) {
    TestWindow window(10, 10, Point(300, 200));
    window.script().play({{kButtonLeft | kModShift, 7, 9}, {0, 12, 3}});
    std::unique_ptr<DrawContext> context(window.createContext(nullptr));
    EXPECT_EQ(context->windowOrigin(), Point(300, 200));
    EXPECT_EQ(context->mouseButtons(), kButtonLeft | kModShift);
    Point where;
    context->mouseLocation(where);
    EXPECT_EQ(where, Point(12, 3));
    EXPECT_EQ(context->mouseButtons(), 0);
}

TEST(DrawContextPointer, ContextWithoutSurfaceDrawsNothingButStillWorks) {
    DrawContext context(nullptr, nullptr, nullptr);
    context.setLineColor(kColorRed);
    context.strokeRect(Rect(0, 0, 5, 5));
    context.fillRect(Rect(0, 0, 5, 5));
    context.drawText("x", Rect(0, 0, 5, 5));
    EXPECT_EQ(context.lineColor().rgb(), kColorRed.rgb());
    EXPECT_EQ(context.mouseButtons(), 0);
    EXPECT_EQ(context.windowOrigin(), Point(0, 0));
}
