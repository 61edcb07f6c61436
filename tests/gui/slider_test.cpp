#include <gtest/gtest.h>

#include <memory>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/offscreen_context.h"
#include "gui/slider.h"
#include "gui_test_support.h"

namespace {

// The panel's pan slider and output fader on a panel-sized window.
class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTestImages();
        window = new TestWindow(448, 251);
        frame.setWindow(window);
        pan = makePanSlider(&listener);
        fader = makeOutFader(&listener);
        frame.addView(pan);
        frame.addView(fader);
    }

    void drag(std::vector<ScriptedPointer::State> states) { dragOn(frame, *window, std::move(states)); }
    void click(int x, int y, int buttons = kButtonLeft) { drag({{buttons, x, y}, {0, x, y}}); }

    RecordingEditor editor;
    RecordingListener listener;
    Frame frame{Rect(0, 0, 448, 251), nullptr, &editor};
    TestWindow* window;
    Slider* pan;
    Slider* fader;
};

}  // namespace

TEST_F(SliderTest, PanClickPutsTheHandleCentreUnderTheMouse) {
    click(359, 24);
    EXPECT_FLOAT_EQ(pan->getValue(), 0.0f);
    click(423, 24);
    EXPECT_FLOAT_EQ(pan->getValue(), 1.0f);
    click(391, 24);
    EXPECT_FLOAT_EQ(pan->getValue(), 0.5f);
    click(430, 24);  // beyond the travel: clamped
    EXPECT_FLOAT_EQ(pan->getValue(), 1.0f);
    EXPECT_EQ(editor.log.front(), "begin 0");
    EXPECT_EQ(editor.log.back(), "end 0");
    EXPECT_EQ(editor.log.size(), 8u);
}

TEST_F(SliderTest, FaderMapsTheMouseInverted) {
    click(400, 54);
    EXPECT_FLOAT_EQ(fader->getValue(), 1.0f);
    click(400, 167);
    EXPECT_FLOAT_EQ(fader->getValue(), 0.0f);
    drag({{kButtonLeft, 400, 167}, {kButtonLeft, 400, 110}, {0, 400, 60}});
    EXPECT_NEAR(fader->getValue(), 1.0f - 56.0f / 113, 1e-6);  // the release point is not applied
}

TEST_F(SliderTest, HandleRectanglesClampToTheTravel) {
    pan->setValue(0.0f);
    EXPECT_EQ(pan->handleRect(), Rect(4, 0, 8, 15));
    pan->setValue(3.9f / 64);
    EXPECT_EQ(pan->handleRect().left, 4);
    pan->setValue(0.5f);
    EXPECT_EQ(pan->handleRect().left, 32);
    pan->setValue(1.0f);
    EXPECT_EQ(pan->handleRect(), Rect(64, 0, 68, 15));

    fader->setValue(1.0f);
    EXPECT_EQ(fader->handleRect(), Rect(0, 4, 21, 42));
    fader->setValue(0.0f);
    EXPECT_EQ(fader->handleRect(), Rect(0, 113, 21, 151));
}

TEST_F(SliderTest, ShiftMovesATenthFromWhereShiftWentDown) {
    pan->setValue(0.0f);
    drag(
        {{kButtonLeft, 391, 24}, {kButtonLeft | kModShift, 423, 24}, {kButtonLeft | kModShift, 359, 24}, {0, 359, 24}});
    // 0.5 at the press; Shift then measures from 0.5: +0.5 / 10, then -0.5 / 10.
    EXPECT_NEAR(listener.values[1], 0.55f, 1e-6);
    EXPECT_NEAR(pan->getValue(), 0.45f, 1e-6);
}

TEST_F(SliderTest, WithoutFreeClickOnlyTheHandleCanBeGrabbed) {
    pan->setFreeClick(false);
    pan->setValue(0.5f);  // handle at panel x 390 to 394
    click(370, 24);
    EXPECT_FLOAT_EQ(pan->getValue(), 0.5f);
    EXPECT_TRUE(editor.log.empty());
    // Grabbed at its right edge, it keeps the grab point under the mouse.
    drag({{kButtonLeft, 394, 24}, {kButtonLeft, 410, 24}, {0, 410, 24}});
    EXPECT_NEAR(pan->getValue(), 0.75f, 1e-6);
}

TEST_F(SliderTest, OffscreenLivesWhileAttached) {
    ASSERT_NE(pan->getOffscreen(), nullptr);
    EXPECT_EQ(pan->getOffscreen()->getWidth(), 72);
    EXPECT_EQ(pan->getOffscreen()->getHeight(), 15);
    pan->retain();
    frame.removeView(pan);
    EXPECT_EQ(pan->getOffscreen(), nullptr);
    // Detached, it still draws, straight into the context.
    pan->setValue(0.5f);
    std::unique_ptr<DrawContext> context(window->createContext(nullptr));
    pan->draw(context.get());
    EXPECT_EQ(window->pixel(358 + 33, 20), 0xE0E0E0u);
    EXPECT_EQ(window->pixel(358 + 10, 20), 0x202020u);
    pan->release();  // the reference the frame gave back
    pan->release();
}

TEST_F(SliderTest, DrawsTrackAndHandleInOneCopy) {
    pan->setValue(0.5f);
    fader->setValue(0.0f);
    frame.drawView(nullptr);
    EXPECT_EQ(window->pixel(358 + 32, 17), 0xE0E0E0u);
    EXPECT_EQ(window->pixel(358 + 35, 31), 0xE0E0E0u);
    EXPECT_EQ(window->pixel(358 + 31, 17), 0x202020u);
    EXPECT_EQ(window->pixel(358 + 36, 17), 0x202020u);
    EXPECT_EQ(window->pixel(430, 17), 0u);
    EXPECT_EQ(window->pixel(391, 36 + 113), 0xD0D0D0u);
    EXPECT_EQ(window->pixel(391, 36 + 112), 0x303030u);
    EXPECT_FALSE(pan->isDirty());
}
