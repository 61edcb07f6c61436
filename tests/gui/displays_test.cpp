#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/movie_bitmap.h"
#include "gui/on_off_button.h"
#include "gui/param_display.h"
#include "gui/slider.h"
#include "gui/splash_screen.h"
#include "gui/vu_meter.h"
#include "gui_test_support.h"

namespace {

// Keeps the texts a display asks to draw, with their rects.
class TextSpy : public DrawSurface {
public:
    void moveTo(Point) override {}
    void lineTo(Point) override {}
    void setPen(int, int, Color) override {}
    bool setBrush(Color) override { return true; }
    void setBackColor(Color) override {}
    void setTextColor(Color c) override { color = c; }
    void fillRect(const Rect&) override { ++fills; }
    void selectFont(const FontRequest& f) override { height = f.height; }
    void drawText(const char* text, const Rect& r, bool opaque, unsigned) override {
        texts.push_back(text);
        rects.push_back(r);
        colors.push_back(color);
        opaques.push_back(opaque);
    }
    std::vector<std::string> texts;
    std::vector<Rect> rects;
    std::vector<Color> colors;
    std::vector<bool> opaques;
    Color color;
    int fills = 0;
    int height = 0;
};

struct SpyContext {
    SpyContext() : spy(new TextSpy), context(nullptr, spy, nullptr) {}
    TextSpy* spy;
    DrawContext context;
};

void formatPercent(float value, char* text) { std::sprintf(text, "%d%%", int(value * 100)); }
void formatTagged(float value, char* text, std::int32_t data) { std::sprintf(text, "%d:%.1f", int(data), value); }

struct Panel {
    Panel() : frame(Rect(0, 0, 448, 251), nullptr, &editor) {
        installTestImages();
        window = new TestWindow(448, 251);
        frame.setWindow(window);
    }
    void click(int x, int y, int buttons = kButtonLeft) {
        window->script().play({{buttons, x, y}, {0, x, y}});
        std::unique_ptr<DrawContext> context(window->createContext(&frame));
        Point where(x, y);
        frame.mouseDown(context.get(), where);
    }
    void idleUntilClean(int limit, int& redraws, View* view) {
        for (redraws = 0; view->isDirty() && redraws < limit; ++redraws) frame.updateDirtyViews();
    }
    void firstPaint() {
        std::unique_ptr<DrawContext> context(window->createContext(&frame));
        frame.drawInRect(context.get(), Rect(0, 0, 1, 1));
    }
    RecordingEditor editor;
    RecordingListener listener;
    Frame frame;
    TestWindow* window;
};

}  // namespace

// ---- value display ----

TEST(ParamDisplayTest, FormatsWithTheDefaultOrTheGivenFormatter) {
    SpyContext c;
    ParamDisplay display(Rect(0, 0, 48, 10));
    display.setValue(0.25f);
    display.draw(&c.context);
    display.setFormatter(formatPercent);
    display.draw(&c.context);
    display.setFormatterWithData(formatTagged, 7);  // takes precedence
    display.draw(&c.context);
    EXPECT_EQ(c.spy->texts, (std::vector<std::string>{"0.25", "25%", "7:0.2"}));
    EXPECT_EQ(c.spy->height, 12);  // kFontNormal at its own size
    EXPECT_FALSE(c.spy->opaques[0]);
    EXPECT_FALSE(display.isDirty());
}

TEST(ParamDisplayTest, ShadowTextGoesFirstAndOffset) {
    SpyContext c;
    ParamDisplay display(Rect(10, 10, 58, 20), nullptr, kDisplayShadowText);
    display.setTextTransparent(false);
    display.draw(&c.context);
    ASSERT_EQ(c.spy->texts.size(), 2u);
    EXPECT_EQ(c.spy->rects[0], Rect(11, 11, 59, 21));
    EXPECT_EQ(c.spy->rects[1], Rect(10, 10, 58, 20));  // centred text keeps the rect
    EXPECT_EQ(c.spy->colors[0].rgb(), kColorRed.rgb());
    EXPECT_EQ(c.spy->colors[1].rgb(), kColorWhite.rgb());
    EXPECT_TRUE(c.spy->opaques[1]);
    // Left-aligned, both move one pixel in.
    SpyContext d;
    ParamDisplay left(Rect(10, 10, 58, 20), nullptr, kDisplayShadowText);
    left.setTextAlign(kAlignLeft);
    left.draw(&d.context);
    EXPECT_EQ(d.spy->rects[0], Rect(12, 11, 59, 21));
    EXPECT_EQ(d.spy->rects[1], Rect(11, 10, 58, 20));
}

TEST(ParamDisplayTest, NoTextAndNoDrawStyles) {
    SpyContext c;
    ParamDisplay quiet(Rect(0, 0, 10, 10), nullptr, kDisplayNoText);
    quiet.draw(&c.context);
    EXPECT_TRUE(c.spy->texts.empty());
    EXPECT_EQ(c.spy->fills, 1);

    ParamDisplay hidden(Rect(0, 0, 10, 10), nullptr, kDisplayNoDraw);
    EXPECT_FALSE(hidden.isDirty());  // clean from the start
    hidden.setValue(0.5f);
    hidden.draw(&c.context);
    EXPECT_EQ(c.spy->fills, 1);
    EXPECT_FALSE(hidden.isDirty());
}

TEST(ParamDisplayTest, SettersMarkDirtyOnlyOnRealChanges) {
    ParamDisplay display(Rect(0, 0, 10, 10));
    display.setDirty(false);
    Color white = kColorWhite;
    white.alpha = 99;
    display.setFontColor(white);
    EXPECT_FALSE(display.isDirty());
    EXPECT_EQ(display.getFontColor().alpha, 99);  // stored all the same
    display.setFont(kFontNormal);
    display.setStyle(0);
    display.setTextAlign(kAlignCenter);
    EXPECT_FALSE(display.isDirty());
    display.setBackColor(kColorRed);
    EXPECT_TRUE(display.isDirty());
    display.setDirty(false);
    display.setFont(kFontSmall);
    EXPECT_TRUE(display.isDirty());
    display.setDirty(false);
    display.setFormatter(formatPercent);
    display.setTextTransparent(false);
    EXPECT_FALSE(display.isDirty());
}

TEST(ParamDisplayTest, BoxFrameAndBevelPixels) {
    TestWindow window(60, 30);
    std::unique_ptr<DrawContext> context(window.createContext(nullptr));
    ParamDisplay box(Rect(2, 2, 20, 12), nullptr, kDisplayNoText);
    box.setBackColor(kColorRed);
    box.setFrameColor(kColorGrey);
    box.draw(context.get());
    EXPECT_EQ(window.pixel(2, 2), 0x7F7F7Fu);
    EXPECT_EQ(window.pixel(20, 12), 0x7F7F7Fu);
    EXPECT_EQ(window.pixel(10, 7), 0xFF0000u);

    ParamDisplay bevel(Rect(30, 2, 50, 12), nullptr, kDisplayNoText | kDisplayBevelIn);
    bevel.setBackColor(kColorRed);
    bevel.setFrameColor(kColorWhite);
    bevel.draw(context.get());
    EXPECT_EQ(window.pixel(30, 5), 0xFF0000u);   // left edge in the back colour
    EXPECT_EQ(window.pixel(40, 2), 0xFF0000u);   // top edge
    EXPECT_EQ(window.pixel(50, 5), 0xFFFFFFu);   // right edge in the frame colour
    EXPECT_EQ(window.pixel(40, 12), 0xFFFFFFu);  // bottom edge
}

TEST(ParamDisplayTest, StylesOneAndTwoDrawLikeZero) {
    std::vector<std::uint32_t> pictures[3];
    for (int style = 0; style < 3; ++style) {
        TestWindow window(60, 20);
        std::unique_ptr<DrawContext> context(window.createContext(nullptr));
        ParamDisplay display(Rect(2, 2, 50, 14), nullptr, style);
        display.setValue(0.75f);
        display.draw(context.get());
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x) pictures[style].push_back(window.pixel(x, y));
    }
    EXPECT_EQ(pictures[1], pictures[0]);
    EXPECT_EQ(pictures[2], pictures[0]);
}

TEST(ParamDisplayTest, PanelBitmapShowsThePartUnderTheDisplay) {
    installTestImages();
    TestWindow window(64, 64);
    std::unique_ptr<DrawContext> context(window.createContext(nullptr));
    Bitmap* panel = new Bitmap(kTestGradient);
    ParamDisplay display(Rect(20, 30, 40, 40), nullptr, kDisplayNoText);
    display.alignBackgroundOffset();
    display.setBackground(panel);
    panel->release();
    display.draw(context.get());
    EXPECT_EQ(window.pixel(20, 30), gradientPixel(20, 30));
    EXPECT_EQ(window.pixel(39, 39), gradientPixel(39, 39));
    EXPECT_EQ(window.pixel(40, 40), 0u);
}

// ---- on/off button ----

TEST(OnOffButtonTest, TogglesOnEveryClickAndShowsTheMatchingImage) {
    Panel p;
    Bitmap* image = new Bitmap(kButtonImage);
    auto* button = new OnOffButton(Rect(361, 60, 382, 77), &p.listener, 8, image);
    image->release();
    p.frame.addView(button);
    button->setValue(0.7f);
    p.click(370, 65);
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    p.click(370, 65);
    EXPECT_FLOAT_EQ(button->getValue(), 0.0f);
    button->setValue(-0.5f);
    p.click(370, 65, kButtonLeft | kModControl);  // Ctrl+click is an ordinary click
    EXPECT_FLOAT_EQ(button->getValue(), 1.0f);
    EXPECT_EQ(p.listener.values, (std::vector<float>{1.0f, 0.0f, 1.0f}));
    EXPECT_TRUE(p.editor.log.empty());
    EXPECT_EQ(p.editor.idleCalls, 3);
    p.click(370, 65, kButtonRight);
    EXPECT_EQ(p.listener.values.size(), 3u);

    button->redraw();
    EXPECT_EQ(p.window->pixel(361, 60), 0xFF4040u);
    EXPECT_EQ(p.window->pixel(381, 76), 0xFF4040u);
    button->setValue(0.0f);
    button->redraw();
    EXPECT_EQ(p.window->pixel(361, 60), 0x400000u);
    EXPECT_FALSE(button->isDirty());
}

// ---- movie bitmap ----

TEST(MovieBitmapTest, ValueChoosesTheImage) {
    installTestImages();
    TestWindow window(10, 10);
    std::unique_ptr<DrawContext> context(window.createContext(nullptr));
    Bitmap* strip = new Bitmap(kTestStrip);
    MovieBitmap led(Rect(0, 0, 2, 2), nullptr, 102, 3, 2, strip);
    strip->release();
    const std::pair<float, std::uint32_t> cases[] = {{0.0f, 0xFF0000},  {0.24f, 0xFF0000}, {0.25f, 0x00FF00},
                                                     {0.49f, 0x00FF00}, {0.74f, 0x00FF00}, {0.75f, 0x0000FF},
                                                     {0.98f, 0x0000FF}, {-0.3f, 0xFF0000}};
    for (const auto& c : cases) {
        led.setValue(c.first);
        led.draw(context.get());
        EXPECT_EQ(window.pixel(1, 1), c.second) << c.first;
        EXPECT_EQ(window.pixel(2, 2), 0u);
    }
    led.setValue(1.5f);
    led.draw(context.get());
    EXPECT_FLOAT_EQ(led.getValue(), 1.0f);
    EXPECT_EQ(window.pixel(0, 0), 0x0000FFu);
    EXPECT_FALSE(led.isDirty());
}

// ---- level meter ----

TEST(VuMeterTest, PanelMeterSegmentArithmetic) {
    Panel p;
    Bitmap* off = new Bitmap(kMeterOff);
    Bitmap* on = new Bitmap(kMeterOn);
    auto* meter = new VuMeter(Rect(413, 40, 428, 187), on, off, 73, kVuMeterVertical);
    off->release();
    on->release();
    p.frame.addView(meter);

    meter->setValue(1.0f);
    meter->redraw();
    EXPECT_EQ(meter->litRect().top, 40);
    EXPECT_EQ(p.window->pixel(413, 40), 0x00FFFFu);

    meter->setLastDrawnValue(0.5f);
    meter->setValue(0.5f);
    meter->redraw();
    EXPECT_EQ(meter->unlitRect().bottom, 40 + 74);
    EXPECT_EQ(meter->litRect().top, 40 + 74);
    EXPECT_EQ(p.window->pixel(413, 40 + 73), 0x101010u);
    EXPECT_EQ(p.window->pixel(427, 40 + 74), 0x00FFFFu);
    EXPECT_EQ(p.window->pixel(427, 186), 0x00FFFFu);

    meter->setLastDrawnValue(0.0f);
    meter->setValue(0.0f);
    meter->redraw();
    EXPECT_EQ(meter->litRect().top, 187);
    EXPECT_EQ(p.window->pixel(420, 186), 0x101010u);
}

TEST(VuMeterTest, RisesAtOnceAndFallsStepByStepUntilDark) {
    Panel p;
    Bitmap* off = new Bitmap(kMeterOff);
    Bitmap* on = new Bitmap(kMeterOn);
    auto* meter = new VuMeter(Rect(413, 40, 428, 187), on, off, 73, kVuMeterVertical);
    off->release();
    on->release();
    meter->setFallStep(0.02f);
    p.frame.addView(meter);
    p.firstPaint();

    meter->setValue(0.0f);  // a new meter shows full scale and falls from there
    int redraws = 0;
    p.idleUntilClean(49, redraws, meter);
    EXPECT_EQ(redraws, 49);
    EXPECT_NEAR(meter->shownLevel(), 0.02f, 1e-5);
    EXPECT_EQ(p.window->pixel(420, 186), 0x00FFFFu);  // still a little lit
    int more = 0;
    p.idleUntilClean(100, more, meter);
    EXPECT_EQ(redraws + more, 51);
    EXPECT_EQ(meter->shownLevel(), 0.0f);
    EXPECT_EQ(p.window->pixel(420, 186), 0x101010u);

    meter->setValue(0.8f);
    p.frame.updateDirtyViews();
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.8f);  // rises in one redraw
    EXPECT_FALSE(meter->isDirty());
    meter->setValue(1.7f);
    p.frame.updateDirtyViews();
    EXPECT_FLOAT_EQ(meter->getValue(), 1.0f);
}

TEST(VuMeterTest, HorizontalAndMissingBitmaps) {
    installTestImages();
    TestWindow window(160, 20);
    std::unique_ptr<DrawContext> context(window.createContext(nullptr));
    Bitmap* on = new Bitmap(kTestGradient);  // 64 wide
    VuMeter bar(Rect(0, 0, 64, 10), on, nullptr, 8, 1);
    on->release();
    bar.setLastDrawnValue(0.5f);
    bar.setValue(0.5f);
    bar.draw(context.get());
    EXPECT_EQ(bar.litRect().right, 32);
    EXPECT_EQ(window.pixel(31, 0), gradientPixel(31, 0));
    EXPECT_EQ(window.pixel(32, 0), 0u);  // no unlit bitmap: nothing there

    VuMeter blind(Rect(0, 0, 10, 10), nullptr, nullptr, 8, 2);
    blind.setValue(0.3f);
    blind.draw(context.get());
    EXPECT_FLOAT_EQ(blind.shownLevel(), 1.0f);  // untouched

    Bitmap* again = new Bitmap(kTestGradient);
    VuMeter stepless(Rect(100, 0, 110, 10), again, nullptr, 0, 2);
    again->release();
    stepless.setValue(0.5f);
    stepless.draw(context.get());  // no steps must not divide by zero
    EXPECT_LE(stepless.litRect().top, 110);
}

// ---- splash ----

TEST(SplashScreenTest, FirstClickShowsModallySecondRestores) {
    Panel p;
    Bitmap* picture = new Bitmap(kSplashImage);
    auto* splash = new SplashScreen(Rect(395, 229, 435, 243), &p.listener, 101, picture, Rect(18, 56, 58, 86));
    picture->release();
    p.frame.addView(splash);
    Bitmap* panel = new Bitmap(kTestGradient);
    p.frame.setBackground(panel);
    panel->release();

    p.click(400, 235);
    EXPECT_FLOAT_EQ(splash->getValue(), 1.0f);
    EXPECT_EQ(p.frame.getModalView(), splash);
    EXPECT_EQ(splash->bounds(), Rect(18, 56, 58, 86));
    EXPECT_EQ(p.window->pixel(18, 56), 0xA0A0A0u);
    EXPECT_EQ(p.listener.values, (std::vector<float>{1.0f}));
    EXPECT_TRUE(p.frame.hasDirtyView());

    p.click(400, 235);  // outside the picture: the modal splash blocks it
    EXPECT_FLOAT_EQ(splash->getValue(), 1.0f);
    p.click(30, 60, kButtonRight);  // only the left button hides it
    EXPECT_FLOAT_EQ(splash->getValue(), 1.0f);

    p.click(30, 60);
    EXPECT_FLOAT_EQ(splash->getValue(), 0.0f);
    EXPECT_EQ(p.frame.getModalView(), nullptr);
    EXPECT_EQ(splash->bounds(), Rect(395, 229, 435, 243));
    EXPECT_EQ(p.window->pixel(18, 56), gradientPixel(18, 56));  // the panel is back
    EXPECT_EQ(p.listener.values, (std::vector<float>{1.0f, 0.0f}));
    EXPECT_TRUE(p.editor.log.empty());
}

TEST(SplashScreenTest, RefusedModalLeavesItHiddenButSet) {
    Panel p;
    Bitmap* picture = new Bitmap(kSplashImage);
    auto* splash = new SplashScreen(Rect(395, 229, 435, 243), &p.listener, 101, picture, Rect(18, 56, 58, 86));
    picture->release();
    p.frame.addView(splash);
    // Without a frame the splash cannot become modal.
    Bitmap* other = new Bitmap(kSplashImage);
    SplashScreen loose(Rect(0, 0, 10, 10), &p.listener, 101, other, Rect(20, 20, 30, 30));
    other->release();
    std::unique_ptr<DrawContext> context(p.window->createContext(nullptr));
    p.window->script().play({{kButtonLeft, 5, 5}});
    Point where(5, 5);
    loose.mouseDown(context.get(), where);
    EXPECT_FLOAT_EQ(loose.getValue(), 1.0f);
    EXPECT_EQ(loose.bounds(), Rect(0, 0, 10, 10));
    EXPECT_TRUE(p.listener.values.empty());
    loose.mouseDown(context.get(), where);  // the next click runs the hiding branch
    EXPECT_FLOAT_EQ(loose.getValue(), 0.0f);
    EXPECT_EQ(p.listener.values.size(), 1u);

    // In a frame that already has a modal view the splash is refused the same way.
    MovieBitmap occupant(Rect(0, 0, 1, 1), nullptr, 0, 1, 1, nullptr);
    occupant.retain();
    ASSERT_TRUE(p.frame.setModalView(&occupant));
    p.window->script().play({{kButtonLeft, 400, 235}});
    Point onLabel(400, 235);
    splash->mouseDown(context.get(), onLabel);
    EXPECT_FLOAT_EQ(splash->getValue(), 1.0f);
    EXPECT_EQ(splash->bounds(), Rect(395, 229, 435, 243));
    EXPECT_EQ(p.frame.getModalView(), &occupant);
    EXPECT_TRUE(splash->isDirty());
    EXPECT_EQ(p.listener.values.size(), 1u);
    p.frame.setModalView(nullptr);
}

TEST(SplashScreenTest, CloseSplashHidesAndAHiddenOneKeepsItsArea) {
    Panel p;
    Bitmap* picture = new Bitmap(kSplashImage);
    auto* splash = new SplashScreen(Rect(395, 229, 435, 243), &p.listener, 101, picture, Rect(18, 56, 58, 86));
    picture->release();
    p.frame.addView(splash);
    splash->closeSplash();  // never shown: its clickable area stays
    EXPECT_EQ(splash->bounds(), Rect(395, 229, 435, 243));
    p.click(400, 235);
    splash->closeSplash();
    EXPECT_EQ(p.frame.getModalView(), nullptr);
    EXPECT_EQ(splash->bounds(), Rect(395, 229, 435, 243));
    EXPECT_FLOAT_EQ(splash->getValue(), 0.0f);
    EXPECT_TRUE(splash->hitTest(Point(400, 235), kButtonLeft));
    EXPECT_FALSE(splash->hitTest(Point(400, 235), kButtonRight));
}

// ---- redraw ----

namespace {
// Draws nothing and leaves its flag alone: only the redraw can clean it.
class InertView : public View {
public:
    using View::View;
    void draw(DrawContext*) override {}
};
}  // namespace

// Drawing any view of the panel leaves it clean, and a redraw cleans even a view whose own
// draw does not; a dirty frame is clean after its redraw too.
TEST(Redraw, ClearsTheDirtyFlag) {
    Panel p;
    Bitmap* images[] = {new Bitmap(kKnobBody),   new Bitmap(kKnobHandle),  new Bitmap(kPanHandle),
                        new Bitmap(kPanTrack),   new Bitmap(kButtonImage), new Bitmap(kTestStrip),
                        new Bitmap(kSplashImage)};
    struct Case {
        const char* name;
        View* view;
        bool throughRedraw;
    };
    const Case cases[] = {
        {"knob", new Knob(Rect(36, 76, 60, 100), nullptr, 2, images[0], images[1], Point(0, 1)), false},
        {"slider",
         new HorizontalSlider(Rect(358, 17, 430, 32), nullptr, 0, 362, 426, images[2], images[3], Point(0, 0),
                              kSliderLeft),
         false},
        {"button", new OnOffButton(Rect(361, 60, 382, 77), nullptr, 8, images[4]), false},
        {"movie", new MovieBitmap(Rect(0, 0, 2, 2), nullptr, 102, 3, 2, images[5]), false},
        {"display", new ParamDisplay(Rect(10, 10, 58, 20)), false},
        {"splash",
         new SplashScreen(Rect(395, 229, 435, 243), nullptr, 101, images[6], Rect(18, 56, 58, 86), Point(0, 0)), false},
        {"view", new View(Rect(0, 0, 5, 5)), false},
        {"inert view", new InertView(Rect(0, 0, 5, 5)), true},
    };
    for (Bitmap* image : images) image->release();
    std::unique_ptr<DrawContext> context(p.window->createContext(&p.frame));
    for (const Case& c : cases) {
        p.frame.addView(c.view);
        c.view->setDirty(true);
        ASSERT_TRUE(c.view->isDirty()) << c.name;
        if (c.throughRedraw)
            c.view->redrawIfDirty(context.get());
        else
            c.view->draw(context.get());
        EXPECT_FALSE(c.view->isDirty()) << c.name;
    }
    p.frame.setDirty(true);
    p.frame.redrawIfDirty(context.get());
    EXPECT_FALSE(p.frame.hasDirtyView());
}
