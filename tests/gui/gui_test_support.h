// Test doubles for the toolkit: a window on an image with a scripted pointer, an editor
// that records edit brackets and idle calls, a listener that records changes, and a few
// tiny compiled-in images.
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

#include "gui/control.h"
#include "gui/frame_owner.h"
#include "gui/frame_window.h"
#include "gui/pointer_input.h"

// Plays back a drag: one (buttons, x, y) state per poll. The position moves to the next
// state each time it is read; the buttons are those of the current state.
class ScriptedPointer : public PointerInput {
public:
    struct State {
        int buttons;
        int x;
        int y;
    };

    void play(std::vector<State> states) {
        states_ = std::move(states);
        index_ = 0;
    }
    int buttons() override { return states_.empty() ? 0 : states_[index_].buttons; }
    Point screenLocation() override {
        if (states_.empty()) return origin;
        if (index_ + 1 < states_.size()) ++index_;
        return Point(states_[index_].x + origin.h, states_[index_].y + origin.v);
    }
    size_t position() const { return index_; }

    Point origin;  // the window's screen position, added to every scripted point

private:
    std::vector<State> states_;
    size_t index_ = 0;
};

class TestWindow : public FrameWindow {
public:
    TestWindow(int width, int height, Point screenOrigin = Point(200, 100));
    ~TestWindow() override;

    DrawContext* createContext(Frame* frame) override;
    void releaseContext(DrawContext* context) override;
    Point origin() override { return origin_; }
    PointerInput& pointer() override { return pointer_; }
    void setCursor(int type) override {
        cursors.push_back(type);
        note("cursor " + std::to_string(type));
    }
    bool setDropEnabled(bool enabled) override {
        dropCalls.push_back(enabled);
        note(enabled ? "drops on" : "drops off");
        return true;
    }
    void detachFrame() override {
        detached = true;
        note("detach");
    }
    void note(const std::string& what) {
        if (events) events->push_back(what);
    }
    void* nativeHandle() override { return nullptr; }

    std::uint32_t pixel(int x, int y) const;
    void fill(std::uint32_t rgb);
    cairo_surface_t* image() const { return image_; }

    ScriptedPointer& script() { return pointer_; }
    int contextsMade = 0;
    int contextsReleased = 0;
    std::vector<int> cursors;
    std::vector<bool> dropCalls;
    bool detached = false;
    bool* destroyedFlag = nullptr;
    std::vector<std::string>* events = nullptr;  // outlives the window

private:
    cairo_surface_t* image_;
    Point origin_;
    ScriptedPointer pointer_;
};

class HorizontalSlider;
class Knob;
class VerticalSlider;

// The panel's controls at their panel places, on the test images (installTestImages first):
// the T60 knob (tag 2, 24 x 24 at (36, 76), 7 x 7 handle), the pan slider (tag 0) and the
// output fader (tag 1).
Knob* makePanelKnob(ControlListener* listener);
HorizontalSlider* makePanSlider(ControlListener* listener);
VerticalSlider* makeOutFader(ControlListener* listener);

// Presses at the first state's point and plays the rest as the drag.
void dragOn(Frame& frame, TestWindow& window, std::vector<ScriptedPointer::State> states);

class RecordingEditor : public FrameOwner {
public:
    void beginEdit(int index) override { log.push_back("begin " + std::to_string(index)); }
    void endEdit(int index) override { log.push_back("end " + std::to_string(index)); }
    void idlePump() override { ++idleCalls; }

    std::vector<std::string> log;
    int idleCalls = 0;
};

class RecordingListener : public ControlListener {
public:
    void controlChanged(DrawContext* context, Control* control) override {
        values.push_back(control->getValue());
        contexts.push_back(context);
    }
    std::vector<float> values;
    std::vector<DrawContext*> contexts;
};

// Test images, installed as the native image lookup.
enum {
    kTestKeyed = 500,     // 4 x 2: white, (254,255,255), red, blue / green, white, black, grey
    kTestGradient = 501,  // 64 x 64: pixel (x, y) = 0x00xxyy00 style code
    kTestStrip = 502,     // 2 x 6: three 2 x 2 images, red, green, blue from the top
    kKnobBody = 1032,     // 24 x 25 grey
    kKnobHandle = 1033,   // 7 x 7 white dot on the key colour
    kPanHandle = 1026,    // 4 x 15
    kPanTrack = 1027,     // 72 x 15
    kFaderHandle = 1028,  // 21 x 38
    kFaderTrack = 1029,   // 22 x 155
    kMeterOff = 1030,     // 15 x 147
    kMeterOn = 1031,      // 15 x 147
    kButtonImage = 1034,  // 21 x 34: off image dark, on image bright
    kSplashImage = 1035,  // 40 x 30
};
std::uint32_t gradientPixel(int x, int y);
void installTestImages();
