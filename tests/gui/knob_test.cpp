#include <gtest/gtest.h>

#include <memory>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui_test_support.h"

namespace {

// The panel's T60 knob on a windowed frame.
class KnobTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTestImages();
        setKnobMode(0);
        window = new TestWindow(120, 120);
        frame.setWindow(window);
        knob = makePanelKnob(&listener);
        frame.addView(knob);
    }
    void TearDown() override { setKnobMode(0); }

    void drag(std::vector<ScriptedPointer::State> states) { dragOn(frame, *window, std::move(states)); }

    RecordingEditor editor;
    RecordingListener listener;
    Frame frame{Rect(0, 0, 120, 120), nullptr, &editor};
    TestWindow* window;
    Knob* knob;
};

Point pointAt(Knob& knob, float value) {
    knob.setValue(value);
    Point p;
    knob.pointForValue(p);
    return p;
}

}  // namespace

TEST_F(KnobTest, HandlePositionsOfThePanelKnob) {
    EXPECT_EQ(knob->getInset(), 6);
    EXPECT_EQ(pointAt(*knob, 0.0f), Point(8, 16));
    EXPECT_EQ(pointAt(*knob, 0.5f), Point(12, 6));
    EXPECT_EQ(pointAt(*knob, 1.0f), Point(16, 16));
    Knob plain(Rect(0, 0, 24, 24), nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(plain.getInset(), 3);
}

TEST_F(KnobTest, ValueForPointAroundTheSweepAndAcrossTheDeadGap) {
    EXPECT_NEAR(knob->valueForPoint(Point(12, 0)), 0.5f, 1e-5);
    EXPECT_NEAR(knob->valueForPoint(Point(4, 20)), 0.0f, 1e-5);   // lower left
    EXPECT_NEAR(knob->valueForPoint(Point(20, 20)), 1.0f, 1e-5);  // lower right
    EXPECT_NEAR(knob->valueForPoint(Point(0, 12)), 1.0f / 6, 1e-5);
    // The gap at the bottom splits in the middle: the left half gives the minimum,
    // the right half the maximum.
    EXPECT_EQ(knob->valueForPoint(Point(11, 23)), 0.0f);
    EXPECT_EQ(knob->valueForPoint(Point(8, 22)), 0.0f);
    EXPECT_EQ(knob->valueForPoint(Point(13, 23)), 1.0f);
    EXPECT_EQ(knob->valueForPoint(Point(16, 22)), 1.0f);
}

TEST_F(KnobTest, CircularDragDoesNotJumpAcrossTheGap) {
    // Corner (36, 76): from near the maximum down through the gap to the minimum's side.
    drag({{kButtonLeft, 36 + 20, 76 + 20},
          {kButtonLeft, 36 + 13, 76 + 23},
          {kButtonLeft, 36 + 11, 76 + 23},
          {kButtonLeft, 36 + 4, 76 + 20},
          {0, 36 + 4, 76 + 20}});
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);

    drag({{kButtonLeft, 36 + 4, 76 + 20},
          {kButtonLeft, 36 + 11, 76 + 23},
          {kButtonLeft, 36 + 13, 76 + 23},
          {kButtonLeft, 36 + 20, 76 + 20},
          {0, 36 + 20, 76 + 20}});
    EXPECT_FLOAT_EQ(knob->getValue(), 0.0f);

    // An ordinary circular move follows the angle.
    drag({{kButtonLeft, 36 + 4, 76 + 20}, {kButtonLeft, 36 + 12, 76 + 0}, {0, 36 + 12, 76}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);
}

TEST_F(KnobTest, LinearDragCoversTheRangeInTwoHundredPixels) {
    setKnobMode(2);
    knob->setValue(0.1f);
    drag({{kButtonLeft, 40, 80}, {kButtonLeft, 140, 80}, {0, 140, 80}});
    EXPECT_NEAR(knob->getValue(), 0.6f, 1e-6);
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 2", "end 2"}));
    ASSERT_FALSE(listener.values.empty());
    EXPECT_NEAR(listener.values.back(), 0.6f, 1e-6);
    EXPECT_NE(listener.contexts.back(), nullptr);
    EXPECT_GE(editor.idleCalls, 3);  // the loop keeps the editor alive
    EXPECT_EQ(frame.getFocusView(), knob);

    // Upward movement increases too; the result is clamped.
    knob->setValue(0.9f);
    drag({{kButtonLeft, 40, 80}, {kButtonLeft, 40, 40}, {0, 40, 40}});
    EXPECT_FLOAT_EQ(knob->getValue(), 1.0f);
}

TEST_F(KnobTest, ShiftSlowsTheLinearDragWithoutAJump) {
    setKnobMode(2);
    knob->setValue(0.0f);
    drag({{kButtonLeft | kModShift, 40, 80}, {kButtonLeft | kModShift, 140, 80}, {0, 140, 80}});
    EXPECT_NEAR(knob->getValue(), 1.0f / 3, 1e-6);

    // Shift comes down together with the move to 60; from there on 300 px cover the range.
    knob->setValue(0.0f);
    drag({{kButtonLeft, 40, 80},
          {kButtonLeft, 60, 80},
          {kButtonLeft | kModShift, 90, 80},
          {kButtonLeft | kModShift, 120, 80},
          {0, 120, 80}});
    EXPECT_NEAR(knob->getValue(), 50.0f / 200 + 30.0f / 300, 1e-6);

    // Releasing Shift mid-drag speeds it up again, still without a jump.
    knob->setValue(0.0f);
    drag({{kButtonLeft | kModShift, 40, 80},
          {kButtonLeft | kModShift, 100, 80},
          {kButtonLeft, 130, 80},
          {kButtonLeft, 150, 80},
          {0, 150, 80}});
    EXPECT_NEAR(knob->getValue(), 90.0f / 300 + 20.0f / 200, 1e-6);
}

TEST_F(KnobTest, AltSwapsTheDragMode) {
    setKnobMode(2);
    knob->setValue(0.2f);
    // Circular because Alt is held in linear mode: the top of the knob is 0.5.
    drag({{kButtonLeft | kModAlt, 36 + 12, 76}, {0, 36 + 12, 76}});
    EXPECT_NEAR(knob->getValue(), 0.5f, 1e-5);

    setKnobMode(0);
    knob->setValue(0.2f);
    drag({{kButtonLeft | kModAlt, 36 + 12, 76}, {kButtonLeft | kModAlt, 36 + 32, 76}, {0, 36 + 32, 76}});
    EXPECT_NEAR(knob->getValue(), 0.3f, 1e-6);
}

TEST_F(KnobTest, DrawsBodyThenKeyedHandleAndBecomesClean) {
    knob->setValue(0.5f);
    EXPECT_TRUE(knob->isDirty());
    knob->redraw();
    EXPECT_FALSE(knob->isDirty());
    EXPECT_EQ(window->pixel(36 + 12, 76 + 6), 0x102030u);  // handle dot centre
    EXPECT_EQ(window->pixel(36 + 9, 76 + 3), 0x808080u);   // handle's keyed corner
    EXPECT_EQ(window->pixel(36 + 12, 76 + 16), 0x808080u);
    EXPECT_EQ(window->pixel(35, 76), 0u);
}

TEST_F(KnobTest, WithoutAHandleBitmapDrawsTwoLines) {
    Knob plain(Rect(0, 0, 24, 24), nullptr, 0, nullptr, nullptr);
    plain.setValue(0.5f);
    std::unique_ptr<DrawContext> context(window->createContext(nullptr));
    plain.draw(context.get());
    // Tip (11, 12 - 9) to centre (11, 12) in grey, then moved by (+1, -1) in white.
    EXPECT_EQ(window->pixel(11, 3), 0x7F7F7Fu);
    EXPECT_EQ(window->pixel(11, 11), 0x7F7F7Fu);
    EXPECT_EQ(window->pixel(12, 2), 0xFFFFFFu);
    EXPECT_EQ(window->pixel(12, 10), 0xFFFFFFu);
    EXPECT_EQ(window->pixel(12, 11), 0u);  // the end pixel is not drawn
}
