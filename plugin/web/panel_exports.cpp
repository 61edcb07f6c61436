// The panel on a web page: the format-free panel, hosted over the page. The page keeps the
// stored values in step with the worklet's engine (it stores what the engine reports here)
// and hears of the user's edits through Module.onPanelEdit, which it passes on to the
// worklet; the meter and the gate LED read what the worklet last reported. Nothing here
// waits for the worklet: each side only reads the other's latest message.
#include <emscripten/emscripten.h>

#include <new>

#include "editor/embedded_panel.h"
#include "editor/reverb_editor.h"
#include "effect/parameter_table.h"
#include "gui/frame.h"
#include "gui/frame_window_web.h"

namespace {

// clang-format off
EM_JS(void, hallmere_panel_edit, (int step, int index, float value), {
    if (Module.onPanelEdit) Module.onPanelEdit(step, index, value);
});
EM_JS(float, hallmere_panel_meter_peak, (), { return Module.takeMeterPeak ? Module.takeMeterPeak() : 0; });
EM_JS(int, hallmere_panel_gate, (), { return Module.gateState ? Module.gateState() : 0; });
// clang-format on

enum EditStep { kBegin, kPerform, kEnd };

class PagePanel : public EmbeddedPanel {
public:
    float parameterValue(int index) override { return isParameterIndex(index) ? values_[index] : 0.0f; }
    void beginEdit(int index) override { hallmere_panel_edit(kBegin, index, 0.0f); }
    void performEdit(int index, float value) override {
        if (!isParameterIndex(index)) return;
        values_[index] = value;
        hallmere_panel_edit(kPerform, index, value);
        showStored(index);
    }
    void endEdit(int index) override { hallmere_panel_edit(kEnd, index, 0.0f); }
    float takeMeterPeak() override { return hallmere_panel_meter_peak(); }
    int panelGateState() override { return hallmere_panel_gate(); }

    // A value stored elsewhere (a program chosen on the page); the next idle shows it.
    void store(int index, float value) {
        if (isParameterIndex(index)) values_[index] = value;
    }
    WebFrameWindow* window() {
        Frame* frame = panel().getFrame();
        return frame ? static_cast<WebFrameWindow*>(frame->window()) : nullptr;
    }
    using EmbeddedPanel::panel;

private:
    float values_[kParameterCount] = {};
};

PagePanel* page = nullptr;
// The panel's window stands in the page's canvas; any token will do as its parent.
int canvasToken;

}  // namespace

extern "C" {

// Values first (hallmere_panel_store), then open: false when the panel cannot be built.
EMSCRIPTEN_KEEPALIVE void hallmere_panel_store(int index, float value) {
    if (!page) page = new (std::nothrow) PagePanel;
    if (page) page->store(index, value);
}

EMSCRIPTEN_KEEPALIVE int hallmere_panel_open() {
    if (!page) page = new (std::nothrow) PagePanel;
    if (!page || !page->open(&canvasToken) || !page->window()) return 0;
    page->window()->paintAll();
    return 1;
}

EMSCRIPTEN_KEEPALIVE int hallmere_panel_width() { return page ? page->panelSize().width() : 0; }
EMSCRIPTEN_KEEPALIVE int hallmere_panel_height() { return page ? page->panelSize().height() : 0; }

// A press at canvas pixel (x, y), the pointer's state already reported: returns when the
// control lets go (called through Asyncify, as it sleeps while the drag goes on).
EMSCRIPTEN_KEEPALIVE void hallmere_panel_press(int x, int y) {
    if (page && page->window()) page->window()->pressAt(x, y);
}

// A turn of the wheel over the pointer's position: positive away from the user.
EMSCRIPTEN_KEEPALIVE int hallmere_panel_wheel(float distance) { return page && page->panel().wheel(distance); }

// About thirty times a second: values stored since, redraws, the meter and the LED.
EMSCRIPTEN_KEEPALIVE void hallmere_panel_idle() {
    if (page) page->idle();
}

EMSCRIPTEN_KEEPALIVE float hallmere_panel_value(int index) { return page ? page->parameterValue(index) : 0.0f; }

// The control of a parameter, as left, top, right, bottom in canvas pixels; false when the
// parameter has none.
EMSCRIPTEN_KEEPALIVE int hallmere_panel_control_rect(int index, int* rect) {
    Control* control = page ? page->panel().controlFor(index) : nullptr;
    if (!control) return 0;
    const Rect& bounds = control->bounds();
    rect[0] = bounds.left;
    rect[1] = bounds.top;
    rect[2] = bounds.right;
    rect[3] = bounds.bottom;
    return 1;
}

}  // extern "C"
