#include <gtest/gtest.h>

#include <memory>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/image_lookup.h"
#include "gui/offscreen_context.h"
#include "gui_test_support.h"

namespace {

constexpr std::uint32_t kPaper = 0x123456;

class BitmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTestImages();
        window.fill(kPaper);
        context.reset(window.createContext(nullptr));
    }
    TestWindow window{80, 80};
    std::unique_ptr<DrawContext> context;
};

}  // namespace

TEST_F(BitmapTest, LoadsByTheLowSixteenBitsOfTheId) {
    Bitmap* plain = new Bitmap(kTestGradient);
    Bitmap* high = new Bitmap(0x10000 | kTestGradient);
    EXPECT_EQ(plain->getWidth(), 64);
    EXPECT_EQ(plain->getHeight(), 64);
    EXPECT_EQ(high->getWidth(), 64);
    EXPECT_EQ(high->resourceId(), 0x10000 | kTestGradient);
    high->draw(context.get(), Rect(0, 0, 4, 4));
    EXPECT_EQ(window.pixel(3, 2), gradientPixel(3, 2));
    plain->release();
    high->release();
}

TEST_F(BitmapTest, MissingResourceHasNoSizeAndDrawsNothing) {
    Bitmap* missing = new Bitmap(4242);
    EXPECT_EQ(missing->getWidth(), 0);
    EXPECT_EQ(missing->getHeight(), 0);
    EXPECT_FALSE(missing->isLoaded());
    missing->draw(context.get(), Rect(0, 0, 10, 10));
    missing->drawTransparent(context.get(), Rect(0, 0, 10, 10));
    EXPECT_EQ(window.pixel(0, 0), kPaper);
    EXPECT_EQ(missing->retainCount(), 1);
    missing->retain();
    EXPECT_EQ(missing->retainCount(), 2);
    missing->release();
    EXPECT_EQ(missing->retainCount(), 1);
    missing->release();  // frees it
}

TEST_F(BitmapTest, WithoutALookupEveryLoadFails) {
    setEmbeddedImageLookup(nullptr);
    Bitmap* bitmap = new Bitmap(kTestGradient);
    EXPECT_EQ(bitmap->getWidth(), 0);
    bitmap->release();
    installTestImages();
}

TEST_F(BitmapTest, OpaqueCopyOfASubRectangle) {
    Bitmap* bitmap = new Bitmap(kTestGradient);
    // rect (10, 20, 40, 30) with offset (0, 45): the 30 x 10 block at (0, 45) goes to (10, 20).
    bitmap->draw(context.get(), Rect(10, 20, 40, 30), Point(0, 45));
    EXPECT_EQ(window.pixel(10, 20), gradientPixel(0, 45));
    EXPECT_EQ(window.pixel(39, 29), gradientPixel(29, 54));
    EXPECT_EQ(window.pixel(40, 20), kPaper);
    EXPECT_EQ(window.pixel(10, 30), kPaper);
    EXPECT_EQ(window.pixel(9, 20), kPaper);
    bitmap->release();
}

TEST_F(BitmapTest, CopiesStayInsideSourceAndTarget) {
    Bitmap* bitmap = new Bitmap(kTestGradient);
    // Hanging over every edge must neither crash nor wrap around.
    bitmap->draw(context.get(), Rect(70, 70, 170, 170), Point(0, 0));
    bitmap->draw(context.get(), Rect(-5, -5, 5, 5), Point(55, 55));
    EXPECT_EQ(window.pixel(79, 79), gradientPixel(9, 9));
    EXPECT_EQ(window.pixel(0, 0), gradientPixel(60, 60));
    EXPECT_EQ(window.pixel(3, 3), gradientPixel(63, 63));
    EXPECT_EQ(window.pixel(4, 4), kPaper);  // past the source's edge nothing is copied
    bitmap->release();
}

TEST_F(BitmapTest, KeyedCopySkipsOnlyTheExactKey) {
    Bitmap* bitmap = new Bitmap(kTestKeyed);
    bitmap->drawTransparent(context.get(), Rect(0, 0, 4, 2));
    EXPECT_EQ(window.pixel(0, 0), kPaper);     // exactly white: transparent
    EXPECT_EQ(window.pixel(1, 0), 0xFEFFFFu);  // one off: opaque
    EXPECT_EQ(window.pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(window.pixel(1, 1), kPaper);
    EXPECT_EQ(window.pixel(2, 1), 0x000000u);

    bitmap->draw(context.get(), Rect(10, 0, 14, 2));
    EXPECT_EQ(window.pixel(10, 0), 0xFFFFFFu);  // the opaque copy keeps white
    EXPECT_EQ(window.pixel(11, 0), 0xFEFFFFu);

    bitmap->setTransparentColor(kColorBlack);
    bitmap->drawTransparent(context.get(), Rect(20, 0, 24, 2));
    EXPECT_EQ(window.pixel(20, 0), 0xFFFFFFu);
    EXPECT_EQ(window.pixel(22, 1), kPaper);
    bitmap->release();
}

TEST_F(BitmapTest, KeyIgnoresTheAlphaByte) {
    Bitmap* bitmap = new Bitmap(kTestKeyed);
    Color key = kColorWhite;
    key.alpha = 200;
    bitmap->setTransparentColor(key);
    bitmap->drawTransparent(context.get(), Rect(0, 0, 4, 2));
    EXPECT_EQ(window.pixel(0, 0), kPaper);
    bitmap->release();
}

TEST_F(BitmapTest, NewOffscreenIsEntirelyItsBackground) {
    Color background = {10, 200, 30, 0};
    OffscreenContext offscreen(nullptr, 16, 200, background);
    EXPECT_EQ(offscreen.getWidth(), 16);
    EXPECT_EQ(offscreen.getHeight(), 200);
    TestWindow big(40, 240);
    big.fill(kPaper);
    std::unique_ptr<DrawContext> target(big.createContext(nullptr));
    offscreen.copyTo(target.get(), Rect(5, 5, 21, 205));
    for (int y = 5; y < 205; ++y)
        for (int x = 5; x < 21; ++x) ASSERT_EQ(big.pixel(x, y), 0x0AC81Eu) << x << "," << y;
    EXPECT_EQ(big.pixel(21, 5), kPaper);
    EXPECT_EQ(big.pixel(5, 205), kPaper);
    EXPECT_EQ(big.pixel(4, 4), kPaper);
}

TEST_F(BitmapTest, OffscreenComposesAndCopiesFromAnOffset) {
    OffscreenContext offscreen(nullptr, 8, 8, kColorBlack);
    offscreen.setFillColor(kColorRed);
    offscreen.fillRect(Rect(3, 3, 8, 8));  // red from (4, 4)
    offscreen.copyTo(context.get(), Rect(20, 20, 24, 24), Point(2, 2));
    EXPECT_EQ(window.pixel(20, 20), 0x000000u);
    EXPECT_EQ(window.pixel(22, 22), 0xFF0000u);
    EXPECT_EQ(window.pixel(23, 23), 0xFF0000u);
    EXPECT_EQ(window.pixel(24, 24), kPaper);
}
