#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/slider.h"
#include "gui/surface_cairo.h"
#include "gui_test_support.h"

namespace {

constexpr double kScales[] = {1.0, 1.5, 2.0};

int device(int units, double scale) { return toDevicePixel(units, scale); }

// A drag given in panel units, played on a frame at a scale as the same motion relative to
// the panel: every point is taken to device pixels first.
struct Drag {
    const char* name;
    int knobMode;
    std::vector<ScriptedPointer::State> states;  // in panel units
};

const std::vector<Drag>& knobDrags() {
    static const std::vector<Drag> drags = {
        {"linear", 2, {{kButtonLeft, 40, 80}, {kButtonLeft, 90, 70}, {kButtonLeft, 101, 80}, {0, 101, 80}}},
        {"fine linear",
         2,
         {{kButtonLeft, 40, 80}, {kButtonLeft, 60, 80}, {kButtonLeft | kModShift, 97, 80}, {0, 97, 80}}},
        {"alt swaps to circular", 2, {{kButtonLeft | kModAlt, 40, 90}, {kButtonLeft | kModAlt, 55, 78}, {0, 55, 78}}},
        {"circular", 0, {{kButtonLeft, 40, 98}, {kButtonLeft, 48, 76}, {kButtonLeft, 59, 90}, {0, 59, 90}}},
        {"circular, alt swaps to linear",
         0,
         {{kButtonLeft | kModAlt, 40, 80}, {kButtonLeft | kModAlt, 77, 61}, {0, 77, 61}}},
    };
    return drags;
}

struct Played {
    float value;
    std::vector<float> reported;
};

template <typename MakeControl>
Played play(double scale, int knobMode, float start, const std::vector<ScriptedPointer::State>& units,
            MakeControl make) {
    setKnobMode(knobMode);
    RecordingEditor editor;
    RecordingListener listener;
    Frame frame(Rect(0, 0, 448, 251), nullptr, &editor, scale);
    auto* window = new TestWindow(frame.deviceWidth(), frame.deviceHeight());
    frame.setWindow(window);
    Control* control = make(&listener);
    frame.addView(control);
    control->setValue(start);
    std::vector<ScriptedPointer::State> states;
    for (const ScriptedPointer::State& s : units) states.push_back({s.buttons, device(s.x, scale), device(s.y, scale)});
    dragOn(frame, *window, states);
    setKnobMode(0);
    return {control->getValue(), listener.values};
}

}  // namespace

TEST(Scale, KnobDragsMoveByTheSameAmountAtEveryScale) {
    installTestImages();
    for (const Drag& drag : knobDrags()) {
        const Played base = play(1.0, drag.knobMode, 0.3f, drag.states, makePanelKnob);
        EXPECT_NE(base.value, 0.3f) << drag.name;  // the drag moved the knob at all
        for (double scale : kScales) {
            const Played scaled = play(scale, drag.knobMode, 0.3f, drag.states, makePanelKnob);
            EXPECT_EQ(scaled.value, base.value) << drag.name << " at " << scale;
            EXPECT_EQ(scaled.reported, base.reported) << drag.name << " at " << scale;
        }
    }
}

TEST(Scale, SliderGrabsAndClicksHitTheSamePlaces) {
    installTestImages();
    struct Case {
        const char* name;
        HorizontalSlider* (*make)(ControlListener*);
        std::vector<ScriptedPointer::State> states;
        bool moves;
    };
    // The pan slider covers x 358..429, its handle 390..393 at 0.5; a click on the track
    // takes the handle there.
    const std::vector<Case> cases = {
        {"grab and drag", makePanSlider, {{kButtonLeft, 392, 24}, {kButtonLeft, 371, 24}, {0, 371, 24}}, true},
        {"click on the track", makePanSlider, {{kButtonLeft, 380, 24}, {0, 380, 24}}, true},
        {"press beside the slider", makePanSlider, {{kButtonLeft, 356, 24}, {kButtonLeft, 371, 24}, {0, 371, 24}},
         false},
        {"press below the slider", makePanSlider, {{kButtonLeft, 400, 34}, {0, 400, 34}}, false},
        {"control click resets", makePanSlider, {{kButtonLeft | kModControl, 370, 24}, {0, 370, 24}}, true},
    };
    for (const Case& c : cases) {
        const Played base = play(1.0, 0, 0.5f, c.states, c.make);
        EXPECT_EQ(base.value != 0.5f || !base.reported.empty(), c.moves) << c.name;
        for (double scale : kScales) {
            const Played scaled = play(scale, 0, 0.5f, c.states, c.make);
            EXPECT_EQ(scaled.value, base.value) << c.name << " at " << scale;
            EXPECT_EQ(scaled.reported, base.reported) << c.name << " at " << scale;
        }
    }
}

// Rectangles, lines and text land on the device pixels of their panel units.
TEST(Scale, ContextDrawsUnitsAtTheScale) {
    struct Case {
        double scale;
        Rect fillDevice;  // for the unit rect (10, 4, 20, 9): interior (11..19, 5..8)
        int penWidth;
        int fontHeight;  // for a 9 unit font
    };
    const Case cases[] = {
        {1.0, Rect(11, 5, 20, 9), 1, 9},
        {1.5, Rect(17, 8, 30, 14), 2, 14},
        {2.0, Rect(22, 10, 40, 18), 2, 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scale);
        auto* surface = new CairoSurface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 64, 32), true);
        DrawContext context(nullptr, surface, nullptr);
        context.setScale(c.scale);
        context.setFillColor(kColorWhite);
        context.fillRect(Rect(10, 4, 20, 9));
        int left = 64, top = 32, right = 0, bottom = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                if (surface->pixel(x, y) == 0xFFFFFF) {
                    left = std::min(left, x), top = std::min(top, y);
                    right = std::max(right, x + 1), bottom = std::max(bottom, y + 1);
                }
        EXPECT_EQ(Rect(left, top, right, bottom), c.fillDevice);
        context.setLineColor(kColorRed);
        context.moveTo(Point(2, 2));
        context.lineTo(Point(6, 2));
        int thickness = 0;
        for (int y = 0; y < 32; ++y) thickness += surface->pixel(device(3, c.scale), y) == 0xFF0000;
        EXPECT_EQ(thickness, c.penWidth);
        context.selectFont(kFontSmall, 9);
        EXPECT_EQ(surface->font().height, c.fontHeight);
        EXPECT_EQ(context.fontSize(), 9);  // the view still sees its own size
    }
}

TEST(Scale, FrameReportsItsDeviceSizeAndTakesDamageBackToUnits) {
    RecordingEditor editor;
    for (double scale : kScales) {
        Frame frame(Rect(0, 0, 448, 251), nullptr, &editor, scale);
        EXPECT_EQ(frame.deviceWidth(), device(448, scale));
        EXPECT_EQ(frame.deviceHeight(), device(251, scale));
    }
    Frame frame(Rect(0, 0, 448, 251), nullptr, &editor);
    frame.setScale(2.0);
    EXPECT_EQ(frame.scale(), 2.0);
    EXPECT_EQ(frame.deviceWidth(), 896);
    EXPECT_TRUE(frame.isDirty());  // everything redraws at the new size
}
