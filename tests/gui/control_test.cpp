#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gui/bitmap.h"
#include "gui/control.h"
#include "gui_test_support.h"

namespace {

class PlainControl : public Control {
public:
    using Control::Control;
    void draw(DrawContext*) override { setDirty(false); }
    Point offset() const { return backgroundOffset; }
};

}  // namespace

TEST(ControlDirtiness, FollowsTheValueLastDrawn) {
    PlainControl control(Rect(0, 0, 10, 10));
    EXPECT_TRUE(control.isDirty());  // last drawn 1.0, value 0.0
    EXPECT_FLOAT_EQ(control.getLastDrawnValue(), 1.0f);
    control.draw(nullptr);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.0f);
    EXPECT_FALSE(control.isDirty());
    control.setValue(0.25f);
    EXPECT_TRUE(control.isDirty());
    control.setValue(0.0f);
    EXPECT_FALSE(control.isDirty());
}

TEST(ControlDirtiness, MarkingDirtyWorksForEveryValueIncludingMinusOne) {
    PlainControl control(Rect(0, 0, 10, 10));
    control.setValue(0.3f);
    control.draw(nullptr);
    control.setDirty(true);
    EXPECT_FLOAT_EQ(control.getLastDrawnValue(), -1.0f);
    EXPECT_TRUE(control.isDirty());

    control.setValue(-1.0f);
    control.draw(nullptr);
    control.setDirty(true);
    EXPECT_FLOAT_EQ(control.getLastDrawnValue(), 0.0f);
    EXPECT_TRUE(control.isDirty());
    // The view flag alone keeps it dirty even if the values meet again.
    control.setLastDrawnValue(-1.0f);
    EXPECT_TRUE(control.isDirty());
    control.setDirty(false);
    EXPECT_FALSE(control.isDirty());

    control.setValue(std::numeric_limits<float>::quiet_NaN());
    control.draw(nullptr);
    EXPECT_TRUE(control.isDirty());  // NaN never equals what was drawn
}

TEST(ControlValue, ClampOnlyWhenAsked) {
    PlainControl control(Rect(0, 0, 10, 10));
    control.setValue(1.2f);
    EXPECT_FLOAT_EQ(control.getValue(), 1.2f);
    control.clampValue();
    EXPECT_FLOAT_EQ(control.getValue(), 1.0f);
    control.setValue(-0.3f);
    control.clampValue();
    EXPECT_FLOAT_EQ(control.getValue(), 0.0f);
    control.setValue(std::numeric_limits<float>::quiet_NaN());
    control.clampValue();
    EXPECT_TRUE(std::isnan(control.getValue()));
    control.setMinimum(-2.0f);
    control.setMaximum(2.0f);
    control.setValue(3.0f);
    control.clampValue();
    EXPECT_FLOAT_EQ(control.getValue(), 2.0f);
}

TEST(ControlValue, Defaults) {
    PlainControl control(Rect(0, 0, 10, 10), nullptr, 7);
    EXPECT_EQ(control.tag, 7);
    EXPECT_FLOAT_EQ(control.getDefaultValue(), 0.5f);
    EXPECT_FLOAT_EQ(control.getStepIncrement(), 0.1f);
    EXPECT_FLOAT_EQ(control.getMinimum(), 0.0f);
    EXPECT_FLOAT_EQ(control.getMaximum(), 1.0f);
    EXPECT_TRUE(control.isMouseEnabled());
    EXPECT_FALSE(control.isTransparent());
}

TEST(ControlBackground, IsRetainedWhileHeld) {
    installTestImages();
    Bitmap* first = new Bitmap(kTestStrip);
    Bitmap* second = new Bitmap(kTestKeyed);
    {
        PlainControl control(Rect(5, 6, 10, 10), nullptr, 0, first);
        EXPECT_EQ(first->retainCount(), 2);
        control.setBackground(second);
        EXPECT_EQ(first->retainCount(), 1);
        EXPECT_EQ(second->retainCount(), 2);
        control.setBackground(second);  // the same bitmap again must stay alive
        EXPECT_EQ(second->retainCount(), 2);
        control.setBackground(nullptr);
        EXPECT_EQ(second->retainCount(), 1);
        EXPECT_EQ(control.getBackground(), nullptr);
        control.setBackground(first);
        control.alignBackgroundOffset();
        EXPECT_EQ(control.offset(), Point(5, 6));
    }
    EXPECT_EQ(first->retainCount(), 1);
    first->release();
    second->release();
}
