// The draw context's state, font and text requests to its surface, and pointer queries. Its
// pixels on the real surfaces are the drawing cases' (tests/gui_gdi), checked on Cairo and GDI.
#include <gtest/gtest.h>

#include <memory>

#include "gui/draw_context.h"
#include "gui/surface_cairo.h"
#include "gui_test_support.h"

namespace {

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

}  // namespace

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
