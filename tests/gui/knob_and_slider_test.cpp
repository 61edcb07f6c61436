// What the knob and the sliders share: the reset click, the left button only, the arrow keys
// and the wheel. Each behaviour runs on the panel's knob and on its output fader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/slider.h"
#include "gui_test_support.h"

namespace {

struct PanelKnob {
    static Control* make(ControlListener* listener) { return makePanelKnob(listener); }
    static constexpr int kTag = 2;
    static constexpr int kInsideX = 48, kInsideY = 88;
};

struct PanelFader {
    static Control* make(ControlListener* listener) { return makeOutFader(listener); }
    static constexpr int kTag = 1;
    static constexpr int kInsideX = 400, kInsideY = 100;
};

template <typename Panel>
class KnobAndSliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        installTestImages();
        setKnobMode(0);
        window = new TestWindow(448, 251);
        frame.setWindow(window);
        control = Panel::make(&listener);
        frame.addView(control);
    }

    // Presses inside the control and drags 40 pixels up, a move that changes either
    // control's value when it acts on it.
    void pressAndDragUp(int buttons) {
        const int x = Panel::kInsideX, y = Panel::kInsideY;
        dragOn(frame, *window, {{buttons, x, y}, {buttons, x, y - 40}, {0, x, y - 40}});
    }
    // One wheel turn with the pointer over the control.
    bool turnWheel(int buttons, float distance) {
        window->script().play({{buttons, Panel::kInsideX, Panel::kInsideY}});
        return frame.wheel(nullptr, Point(), distance);
    }
    std::vector<std::string> brackets() const {
        const std::string tag = std::to_string(Panel::kTag);
        return {"begin " + tag, "end " + tag};
    }

    RecordingEditor editor;
    RecordingListener listener;
    Frame frame{Rect(0, 0, 448, 251), nullptr, &editor};
    TestWindow* window;
    Control* control;
};

using PanelControls = ::testing::Types<PanelKnob, PanelFader>;
TYPED_TEST_SUITE(KnobAndSliderTest, PanelControls);

TYPED_TEST(KnobAndSliderTest, ControlClickResetsWithoutEditBrackets) {
    this->control->setValue(0.9f);
    this->control->setDefaultValue(0.25f);
    this->pressAndDragUp(kButtonLeft | kModControl);
    EXPECT_FLOAT_EQ(this->control->getValue(), 0.25f);
    EXPECT_TRUE(this->editor.log.empty());
    EXPECT_EQ(this->listener.values, (std::vector<float>{0.25f}));

    // With Shift as well it is an ordinary drag.
    this->pressAndDragUp(kButtonLeft | kModControl | kModShift);
    EXPECT_EQ(this->editor.log, this->brackets());
}

TYPED_TEST(KnobAndSliderTest, OnlyTheLeftButtonActs) {
    this->control->setValue(0.4f);
    this->pressAndDragUp(kButtonRight);
    EXPECT_FLOAT_EQ(this->control->getValue(), 0.4f);
    EXPECT_TRUE(this->editor.log.empty());
    this->control->setMouseEnabled(false);
    this->pressAndDragUp(kButtonLeft);  // a disabled control never sees the press
    EXPECT_FLOAT_EQ(this->control->getValue(), 0.4f);
    EXPECT_TRUE(this->editor.log.empty());
}

TYPED_TEST(KnobAndSliderTest, ArrowKeysStepAndClamp) {
    Control* control = this->control;
    control->setValue(0.5f);
    KeyCode up{0, kArrowUp, 0}, right{0, kArrowRight, 0}, down{0, kArrowDown, 0}, left{0, kArrowLeft, 0};
    EXPECT_EQ(control->keyDown(&right), 1);
    EXPECT_NEAR(control->getValue(), 0.6f, 1e-6);
    EXPECT_EQ(control->keyDown(&down), 1);
    EXPECT_EQ(control->keyDown(&left), 1);
    EXPECT_NEAR(control->getValue(), 0.4f, 1e-6);
    KeyCode fineUp{0, kArrowUp, kKeyModShift}, fineDown{0, kArrowDown, kKeyModShift};
    control->keyDown(&fineUp);
    EXPECT_NEAR(control->getValue(), 0.41f, 1e-6);
    for (int i = 0; i < 10; ++i) control->keyDown(&up);
    EXPECT_FLOAT_EQ(control->getValue(), 1.0f);
    control->keyDown(&fineDown);
    EXPECT_NEAR(control->getValue(), 0.99f, 1e-6);
    ASSERT_FALSE(this->listener.contexts.empty());
    EXPECT_EQ(this->listener.contexts.back(), nullptr);  // key changes come without a context
    KeyCode other{'a', 0, 0};
    EXPECT_EQ(control->keyDown(&other), -1);
}

TYPED_TEST(KnobAndSliderTest, WheelStepsAndClamps) {
    Control* control = this->control;
    control->setValue(0.5f);
    EXPECT_TRUE(this->turnWheel(0, 1.0f));
    EXPECT_NEAR(control->getValue(), 0.6f, 1e-6);
    EXPECT_TRUE(this->turnWheel(kModShift, -1.0f));
    EXPECT_NEAR(control->getValue(), 0.59f, 1e-6);
    EXPECT_TRUE(this->turnWheel(0, -2.0f));
    EXPECT_NEAR(control->getValue(), 0.39f, 1e-6);
    EXPECT_TRUE(this->turnWheel(0, -20.0f));
    EXPECT_FLOAT_EQ(control->getValue(), 0.0f);
    control->setMouseEnabled(false);
    EXPECT_FALSE(this->turnWheel(0, 1.0f));
}

}  // namespace
