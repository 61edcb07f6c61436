// What the context leaves behind in a GDI device context: the objects it found there put
// back, its own objects deleted, and the background mode of its text.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "drawing_cases.h"
#include "gui/surface_win32.h"

namespace {

struct Selected {
    HGDIOBJ pen, brush, font;
};

Selected selectedIn(HDC dc) {
    return {GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH), GetCurrentObject(dc, OBJ_FONT)};
}

}  // namespace

TEST(GdiObjects, DestructionPutsBackTheOriginalsAndDeletesItsOwn) {
    TestCanvas canvas(20, 20, kPaper);
    HDC dc = static_cast<HDC>(canvas.nativeDc());
    // Objects of the caller's own, so "restored" cannot pass by accident with stock ones.
    HPEN callerPen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    HBRUSH callerBrush = CreateSolidBrush(RGB(4, 5, 6));
    HFONT callerFont = CreateFontA(-30, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Courier New");
    SelectObject(dc, callerPen);
    SelectObject(dc, callerBrush);
    SelectObject(dc, callerFont);

    Selected during{};
    {
        std::unique_ptr<DrawContext> context(canvas.makeContext());
        context->setLineColor(kColorRed);
        context->setLineStyle(kLineStyleDotted);
        context->setFillColor(kColorBlue);
        context->selectFont(kFontBig);
        context->selectFont(kFontSymbol);
        context->fillRect(Rect(0, 0, 10, 10));
        context->drawText("x", Rect(0, 0, 20, 20), 1, kAlignLeft);
        during = selectedIn(dc);
        EXPECT_NE(during.pen, HGDIOBJ(callerPen));
        EXPECT_NE(during.brush, HGDIOBJ(callerBrush));
        EXPECT_NE(during.font, HGDIOBJ(callerFont));
        // fillRect put the pen back after its fill with the null pen.
        EXPECT_NE(during.pen, GetStockObject(NULL_PEN));
    }
    Selected after = selectedIn(dc);
    EXPECT_EQ(after.pen, HGDIOBJ(callerPen));
    EXPECT_EQ(after.brush, HGDIOBJ(callerBrush));
    EXPECT_EQ(after.font, HGDIOBJ(callerFont));
    // The context's own objects are gone.
    EXPECT_EQ(GetObjectType(during.pen), 0u);
    EXPECT_EQ(GetObjectType(during.brush), 0u);
    EXPECT_EQ(GetObjectType(during.font), 0u);

    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(callerPen);
    DeleteObject(callerBrush);
    DeleteObject(callerFont);
}

TEST(GdiObjects, EachSetterReplacesAndDeletesItsPredecessor) {
    TestCanvas canvas(4, 4, kPaper);
    HDC dc = static_cast<HDC>(canvas.nativeDc());
    std::unique_ptr<DrawContext> context(canvas.makeContext());
    context->selectFont(kFontNormal);
    Selected first = selectedIn(dc);
    context->setLineColor(kColorRed);
    context->setFillColor(kColorRed);
    context->selectFont(kFontSmall);
    Selected second = selectedIn(dc);
    EXPECT_EQ(GetObjectType(first.pen), 0u);
    EXPECT_EQ(GetObjectType(first.brush), 0u);
    EXPECT_EQ(GetObjectType(first.font), 0u);
    EXPECT_EQ(GetObjectType(second.pen), DWORD(OBJ_PEN));
    EXPECT_EQ(GetObjectType(second.brush), DWORD(OBJ_BRUSH));

    LOGPEN pen = {};
    ASSERT_EQ(GetObjectA(second.pen, sizeof pen, &pen), int(sizeof pen));
    EXPECT_EQ(pen.lopnStyle, UINT(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 1);
    EXPECT_EQ(pen.lopnColor, RGB(255, 0, 0));
    context->setLineStyle(kLineStyleDotted);
    ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen), int(sizeof pen));
    EXPECT_EQ(pen.lopnStyle, UINT(PS_DOT));

    LOGBRUSH brush = {};
    ASSERT_EQ(GetObjectA(second.brush, sizeof brush, &brush), int(sizeof brush));
    EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(255, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 0, 0));
}

TEST(GdiObjects, TextLeavesTheBackgroundModeTransparent) {
    TestCanvas canvas(20, 20, kPaper);
    HDC dc = static_cast<HDC>(canvas.nativeDc());
    SetBkMode(dc, OPAQUE);
    std::unique_ptr<DrawContext> context(canvas.makeContext());
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);  // construction sets it
    context->selectFont(kFontNormal);
    context->drawText("x", Rect(0, 0, 20, 20), 1, kAlignCenter);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    SetBkMode(dc, OPAQUE);
    context->drawText(nullptr, Rect(0, 0, 20, 20), 0, kAlignCenter);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);  // a null text changes nothing
}

TEST(GdiObjects, FramePlatformFindsTheSystemKeyedBlit) {
    // msimg32 is part of every NT-family system, wine's included.
    EXPECT_TRUE(systemKeyedBlitAvailable());
    useKeyedPath(KeyedPath::Mask);
    EXPECT_EQ(keyedBlitEntry(), nullptr);
    useKeyedPath(KeyedPath::System);
    EXPECT_NE(keyedBlitEntry(), nullptr);
}

TEST(GdiObjects, MaskPathRestoresTheTargetsColours) {
    TestCanvas canvas(24, 12, kPaper);
    HDC dc = static_cast<HDC>(canvas.nativeDc());
    std::unique_ptr<DrawContext> context(canvas.makeContext());
    SetTextColor(dc, RGB(9, 8, 7));
    SetBkColor(dc, RGB(1, 2, 3));
    useKeyedPath(KeyedPath::Mask);
    drawingCase("keyed_mask").draw(*context);
    useKeyedPath(KeyedPath::System);
    EXPECT_EQ(GetTextColor(dc), RGB(9, 8, 7));
    EXPECT_EQ(GetBkColor(dc), RGB(1, 2, 3));
}
