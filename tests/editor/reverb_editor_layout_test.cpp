#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

#include "effect/parameter_table.h"
#include "gui/bitmap.h"
#include "gui/knob.h"
#include "gui/movie_bitmap.h"
#include "gui/offscreen_context.h"
#include "gui/on_off_button.h"
#include "gui/param_display.h"
#include "gui/slider.h"
#include "gui/splash_screen.h"
#include "gui/vu_meter.h"
#include "reverb_rig.h"

namespace {

struct Expected {
    const std::type_info& type;
    Rect bounds;
    int tag;
};

// The panel, in the order the views are added.
const std::vector<Expected>& panelTable() {
    static const std::vector<Expected> table = {
        {typeid(HorizontalSlider), Rect(358, 17, 430, 32), 0},
        {typeid(VerticalSlider), Rect(391, 36, 413, 191), 1},
        {typeid(VuMeter), Rect(413, 40, 428, 187), 0},
        {typeid(ParamDisplay), Rect(359, 39, 387, 49), 0},
        {typeid(ParamDisplay), Rect(395, 199, 423, 209), 0},
        {typeid(Knob), Rect(36, 76, 60, 100), 2},
        {typeid(Knob), Rect(94, 76, 118, 100), 3},
        {typeid(Knob), Rect(36, 161, 60, 185), 4},
        {typeid(Knob), Rect(305, 76, 329, 100), 5},
        {typeid(Knob), Rect(165, 76, 189, 100), 6},
        {typeid(Knob), Rect(165, 161, 189, 185), 7},
        {typeid(Knob), Rect(235, 76, 259, 100), 9},
        {typeid(Knob), Rect(235, 161, 259, 185), 10},
        {typeid(Knob), Rect(305, 161, 329, 185), 12},
        {typeid(Knob), Rect(94, 161, 118, 185), 11},
        {typeid(ParamDisplay), Rect(25, 113, 73, 123), 0},
        {typeid(ParamDisplay), Rect(83, 113, 131, 123), 0},
        {typeid(ParamDisplay), Rect(25, 198, 73, 208), 0},
        {typeid(ParamDisplay), Rect(294, 113, 342, 123), 0},
        {typeid(ParamDisplay), Rect(154, 113, 202, 123), 0},
        {typeid(ParamDisplay), Rect(154, 198, 202, 208), 0},
        {typeid(ParamDisplay), Rect(224, 113, 272, 123), 0},
        {typeid(ParamDisplay), Rect(224, 198, 272, 208), 0},
        {typeid(ParamDisplay), Rect(294, 198, 342, 208), 0},
        {typeid(ParamDisplay), Rect(83, 198, 131, 208), 0},
        {typeid(OnOffButton), Rect(361, 60, 382, 77), 8},
        {typeid(SplashScreen), Rect(395, 229, 435, 243), 101},
        {typeid(MovieBitmap), Rect(262, 214, 275, 226), 102},
    };
    return table;
}

void expectPanel(Frame* frame) {
    ASSERT_NE(frame, nullptr);
    const auto& table = panelTable();
    ASSERT_EQ(frame->viewCount(), int(table.size()));
    for (int i = 0; i < frame->viewCount(); ++i) {
        SCOPED_TRACE("view " + std::to_string(i + 1));
        View* view = frame->viewAt(i);
        EXPECT_TRUE(typeid(*view) == table[i].type) << typeid(*view).name();
        EXPECT_EQ(view->bounds(), table[i].bounds);
        auto* control = dynamic_cast<Control*>(view);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->tag, table[i].tag);
    }
}

TEST(ReverbEditorLayout, SizeComesFromTheArtworkBeforeOpen) {
    ReverbRig rig;
    ERect* size = nullptr;
    EXPECT_EQ(rig.dispatch(effEditGetRect, 0, 0, &size), 1);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->top, 0);
    EXPECT_EQ(size->left, 0);
    EXPECT_EQ(size->bottom, 251);
    EXPECT_EQ(size->right, 448);
    EXPECT_EQ(rig.frame(), nullptr);
}

TEST(ReverbEditorLayout, OpenBuildsTheTwentyEightViewsInOrder) {
    ReverbRig rig;
    EXPECT_EQ(rig.dispatch(effEditOpen), 1);
    expectPanel(rig.frame());
    EXPECT_EQ(rig.frame()->bounds(), Rect(0, 0, 448, 251));
    EXPECT_EQ(rig.frame()->getBackground(), rig.editor->panel());
}

TEST(ReverbEditorLayout, CloseTearsDownAndReopenBuildsAnew) {
    ReverbRig rig;
    rig.open();
    rig.close();
    EXPECT_EQ(rig.frame(), nullptr);
    for (int index = 0; index < kParameterCount; ++index) {
        EXPECT_EQ(rig.editor->controlFor(index), nullptr);
        EXPECT_EQ(rig.editor->displayFor(index), nullptr);
    }
    EXPECT_EQ(rig.editor->levelMeter(), nullptr);
    EXPECT_EQ(rig.editor->gateLight(), nullptr);
    EXPECT_EQ(rig.editor->splash(), nullptr);
    EXPECT_EQ(rig.editor->panel()->retainCount(), 1);  // no display or frame holds it now

    rig.automate(kT60, 0.75f);  // while closed: read afresh by the next open
    rig.open();
    expectPanel(rig.frame());
    EXPECT_FLOAT_EQ(rig.editor->controlFor(kT60)->getValue(), 0.75f);
    EXPECT_FLOAT_EQ(rig.editor->displayFor(kT60)->getValue(), 0.75f);
}

TEST(ReverbEditorLayout, OpeningTwiceReplacesThePanel) {
    ReverbRig rig;
    rig.open();
    int window = 0;
    EXPECT_EQ(rig.dispatch(effEditOpen, 0, 0, &window), 1);
    expectPanel(rig.frame());
    EXPECT_EQ(rig.editor->getParentWindow(), &window);
    // One display per parameter plus the frame: no earlier panel still holds the artwork.
    EXPECT_EQ(rig.editor->panel()->retainCount(), 1 + 1 + 12);
}

TEST(ReverbEditorLayout, ControlsStartAtTheEffectsValues) {
    ReverbRig rig;
    rig.dispatch(effSetProgram, 0, 3);
    rig.open();
    for (int index = 0; index < kParameterCount; ++index) {
        SCOPED_TRACE(index);
        Control* control = rig.editor->controlFor(index);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->tag, index);
        EXPECT_FLOAT_EQ(control->getValue(), rig.plugin.getParameter(index));
        ParamDisplay* display = rig.editor->displayFor(index);
        if (index == kDryOut) {
            EXPECT_EQ(display, nullptr);
            continue;
        }
        ASSERT_NE(display, nullptr);
        EXPECT_FLOAT_EQ(display->getValue(), rig.plugin.getParameter(index));
    }
    EXPECT_FLOAT_EQ(rig.editor->levelMeter()->getValue(), 0.0f);
    EXPECT_FLOAT_EQ(rig.editor->gateLight()->getValue(), 0.0f);
}

TEST(ReverbEditorLayout, DisplaysShareOneLook) {
    ReverbRig rig;
    rig.open();
    for (int index = 0; index < kParameterCount; ++index) {
        if (index == kDryOut) continue;
        SCOPED_TRACE(index);
        ParamDisplay* display = rig.editor->displayFor(index);
        EXPECT_EQ(display->getFont(), kFontSmall);
        EXPECT_TRUE(display->getFontColor().sameRgb(Color{0, 183, 224, 0}));
        EXPECT_EQ(display->getBackground(), rig.editor->panel());
        EXPECT_EQ(display->getStyle(), index < 2 ? 2 : 1);
        EXPECT_EQ(display->listener, nullptr);
    }
    EXPECT_EQ(rig.editor->levelMeter()->listener, nullptr);
}

// Captures the texts a display draws.
class TextCapture : public DrawSurface {
public:
    void moveTo(Point) override {}
    void lineTo(Point) override {}
    void setPen(int, int, Color) override {}
    bool setBrush(Color) override { return true; }
    void setBackColor(Color) override {}
    void setTextColor(Color) override {}
    void fillRect(const Rect&) override {}
    void selectFont(const FontRequest&) override {}
    void drawText(const char* text, const Rect&, bool, unsigned) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

TEST(ReverbEditorLayout, DisplaysShowTheFirstProgramsTexts) {
    ReverbRig rig;
    rig.open();
    const std::vector<std::pair<int, const char*>> expected = {
        {kPan, "C"},           {kOut, "0dB"},        {kT60, "2170ms"},   {kDamping, "3250Hz"},   {kDensity, "50%"},
        {kEarlyDelay, "12ms"}, {kHighCut, "4000Hz"}, {kLowCut, "150Hz"}, {kSensitivity, "100%"}, {kHold, "10ms"},
        {kRoomSize, "50%"},    {kEarlyLevel, "30%"},
    };
    for (const auto& [index, text] : expected) {
        auto* capture = new TextCapture;
        DrawContext context(rig.frame(), capture, nullptr);
        ParamDisplay* display = rig.editor->displayFor(index);
        display->setBackground(nullptr);  // bitmaps only blit onto raster surfaces
        display->draw(&context);
        ASSERT_EQ(capture->texts.size(), 1u) << index;
        EXPECT_EQ(capture->texts[0], text) << index;
    }
}

TEST(ReverbEditorLayout, SliderHandlesTravelBetweenTheirEnds) {
    ReverbRig rig;
    rig.open();
    auto* pan = dynamic_cast<Slider*>(rig.editor->controlFor(kPan));
    auto* fader = dynamic_cast<Slider*>(rig.editor->controlFor(kOut));
    ASSERT_TRUE(pan && fader);
    // Control coordinates: the handle travels the 64 pixels from x 362 to 426 and never
    // leaves the track's start.
    pan->setValue(0.0f);
    EXPECT_EQ(pan->handleRect().left, 362 - 358);
    pan->setValue(1.0f);
    EXPECT_EQ(pan->handleRect().left, 426 - 362);
    EXPECT_EQ(pan->handleRect().width(), 4);
    // The fader is drawn from the top: full level puts the handle at y 40, silence at 153.
    fader->setValue(1.0f);
    EXPECT_EQ(fader->handleRect().top, 40 - 36);
    fader->setValue(0.0f);
    EXPECT_EQ(fader->handleRect().top, 153 - 40);
    EXPECT_EQ(fader->handleRect().height(), 38);
}

TEST(ReverbEditorLayout, MeterHasSeventyThreeSegmentsAndFallsSlowly) {
    ReverbRig rig;
    rig.open();
    VuMeter* meter = rig.editor->levelMeter();
    OffscreenContext context(rig.frame(), 448, 251);
    meter->setLastDrawnValue(0.0f);  // nothing left to fall from
    meter->setValue(0.3f);
    meter->draw(&context);
    // 0.7 of 73 segments rounds to 51 unlit ones: 51/73 of the 147-pixel height.
    EXPECT_EQ(meter->litRect().top, 40 + 102);
    meter->setValue(1.0f);
    meter->draw(&context);
    meter->setValue(0.0f);
    meter->draw(&context);
    EXPECT_FLOAT_EQ(meter->shownLevel(), 0.98f);
}

TEST(ReverbEditorLayout, GateLedHasThreeImagesOfTwelveRows) {
    ReverbRig rig;
    rig.open();
    MovieBitmap* led = rig.editor->gateLight();
    led->setValue(0.49f);
    EXPECT_EQ(led->imageOffset(), Point(0, 12));
    led->setValue(0.98f);
    EXPECT_EQ(led->imageOffset(), Point(0, 24));
}

}  // namespace
