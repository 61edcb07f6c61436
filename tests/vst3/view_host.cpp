// A small VST 3 view host for the panel's test: loads the bundle's module, embeds the view
// in a window of its own and serves it through a run loop that really runs the view's
// timer and descriptor handlers. It drags the T60 knob (Alt held: linear, 200 pixels for
// the whole range) and checks the edit brackets at its component handler; sets Damping
// from the host side and sees the knob redrawn; plays audio and sees the meter and the gate
// LED move; then removes the view and attaches it again. Before all that, the view at each
// content scale: its size, its pixels against the artwork program's picture, and at 200 %
// the drag, a click on "Dry out" and a new factor while attached.
//   vst3_view_host            (needs an X display with XTest)
#include <X11/Xlib.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/panel_x11.h"
#include "tools/vsthost/poll_loop.h"
#include "editor/panel_layout.h"
#include "effect/parameter_table.h"
#include "plugin/vst3/vst3_view.h"
#include "vst3_host.h"

namespace {

using namespace vst3;

constexpr int kDragUp = 40;  // a fifth of the range

int failed(const char* what) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

// Both host interfaces the view may ask its frame for; the loop is the test's main loop.
class HostFrame final : public IPlugFrame, public IRunLoop {
public:
    tresult VST3_CALL queryInterface(const TUID iid, void** object) override {
        if (FUnknown::iid == iid || IPlugFrame::iid == iid)
            *object = static_cast<IPlugFrame*>(this);
        else if (IRunLoop::iid == iid)
            *object = static_cast<IRunLoop*>(this);
        else
            *object = nullptr;
        if (!*object) return kNoInterface;
        addRef();
        return kResultOk;
    }
    std::uint32_t VST3_CALL addRef() override { return ++references; }
    std::uint32_t VST3_CALL release() override { return --references; }
    // As a host does: the size asked for, then the view told it has it.
    tresult VST3_CALL resizeView(IPlugView* view, ViewRect* size) override {
        resized = *size;
        ++resizes;
        return view->onSize(size);
    }

    tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) override {
        loop.addDescriptor(key(handler), fd);
        return kResultOk;
    }
    tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) override {
        return loop.removeDescriptor(key(handler)) ? kResultOk : kInvalidArgument;
    }
    tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval millis) override {
        loop.addTimer(key(handler), unsigned(millis));
        return kResultOk;
    }
    tresult VST3_CALL unregisterTimer(ITimerHandler* handler) override {
        return loop.removeTimer(key(handler)) ? kResultOk : kInvalidArgument;
    }

    void run(int millis, const std::atomic<bool>* done = nullptr) { loop.run(millis, done); }

    PollLoop loop{[](PollLoop::Key k) { reinterpret_cast<ITimerHandler*>(k)->onTimer(); },
                  [](PollLoop::Key k, int fd) { reinterpret_cast<IEventHandler*>(k)->onFDIsSet(fd); }};
    int references = 0;
    ViewRect resized{};
    int resizes = 0;

private:
    static PollLoop::Key key(const void* handler) { return reinterpret_cast<PollLoop::Key>(handler); }
};

struct Edit {
    char kind;  // b, p, e
    ParamID id;
    ParamValue value;
};

class RecordingHandler final : public IComponentHandler {
public:
    tresult VST3_CALL queryInterface(const TUID, void** object) override {
        *object = nullptr;
        return kNoInterface;
    }
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }
    tresult VST3_CALL beginEdit(ParamID id) override { return add('b', id, 0.0); }
    tresult VST3_CALL performEdit(ParamID id, ParamValue value) override { return add('p', id, value); }
    tresult VST3_CALL endEdit(ParamID id) override { return add('e', id, 0.0); }
    tresult VST3_CALL restartComponent(std::int32_t) override { return kResultOk; }

    std::vector<Edit> edits;

private:
    tresult add(char kind, ParamID id, ParamValue value) {
        edits.push_back({kind, id, value});
        return kResultOk;
    }
};

int checkDrag(const RecordingHandler& handler, ParamValue before) {
    const std::vector<Edit>& e = handler.edits;
    for (const Edit& edit : e) std::printf("%c %u %.4f\n", edit.kind, edit.id, edit.value);
    if (e.size() < 4 || e.front().kind != 'b' || e.back().kind != 'e') return failed("no begin ... end bracket");
    ParamValue last = before;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].id != ParamID(kT60)) return failed("an edit of a parameter other than T60");
        if ((i == 0 || i + 1 == e.size()) != (e[i].kind != 'p')) return failed("begin or end inside the bracket");
        if (e[i].kind == 'p' && e[i].value < last) return failed("T60 went down while the knob went up");
        if (e[i].kind == 'p') last = e[i].value;
    }
    std::printf("T60 %.4f -> %.4f\n", before, last);
    if (last < before + 0.15 || last > before + 0.25) return failed("T60 did not follow the drag");
    return 0;
}

int attachAndPaint(IPlugView* view, HostFrame& frame, Display* display, Window host) {
    if (view->attached(reinterpret_cast<void*>(host), kPlatformTypeX11EmbedWindowID) != kResultOk)
        return failed("attached refused the host's window");
    if (frame.loop.timerCount() != 1 || frame.loop.descriptorCount() != 1)
        return failed("the view did not register one timer and one descriptor handler");
    frame.run(400);
    if (panelWindowIn(display, host) == 0) return failed("no panel window inside the host's window");
    return 0;
}

bool hasSize(const ViewRect& r, int width, int height) {
    return r.right - r.left == width && r.bottom - r.top == height;
}

// Pressing "Dry out" once: its other value, in one edit (a click brings no bracket).
int checkClick(const RecordingHandler& handler, ParamValue before) {
    const std::vector<Edit>& e = handler.edits;
    if (e.size() != 1 || e[0].kind != 'p' || e[0].id != ParamID(kDryOut) || e[0].value != 1.0 - before)
        return failed("a click on Dry out did not switch it");
    return 0;
}

// The drag, the click and a new factor at 200 %; the values are put back afterwards.
int driveAtTwice(testhost::Instance& plugin, RecordingHandler& handler, HostFrame& frame, Display* display,
                 Window panelAt, IPlugViewContentScaleSupport& scaling) {
    const auto run = [&frame](int millis, const std::atomic<bool>* done) { frame.run(millis, done); };
    const ParamValue t60 = plugin.controller->getParamNormalized(kT60);
    const ParamValue dry = plugin.controller->getParamNormalized(kDryOut);
    handler.edits.clear();
    dragKnobUp(display, panelAt, kT60, kDragUp, run, 2.0);
    if (int code = checkDrag(handler, t60)) return code;
    handler.edits.clear();
    clickPanel(display, panelAt, panel::kDryButton, run, 2.0);
    if (int code = checkClick(handler, dry)) return code;
    handler.edits.clear();
    plugin.controller->setParamNormalized(kT60, t60);
    plugin.controller->setParamNormalized(kDryOut, dry);

    // A new factor while attached: the frame is asked for the size, the window follows.
    const int resizes = frame.resizes;
    if (scaling.setContentScaleFactor(1.5f) != kResultTrue || frame.resizes != resizes + 1 ||
        !hasSize(frame.resized, 672, 377))
        return failed("a new factor while attached did not ask the frame for the new size");
    frame.run(200);
    int width = 0, height = 0;
    windowSize(display, panelAt, width, height);
    if (width != 672 || height != 377) return failed("the panel window did not take the new size");
    return 0;
}

// The view at each scale set before it is attached. Factors that are not numbers above 0
// are refused.
int checkScales(testhost::Instance& plugin, RecordingHandler& handler, HostFrame& frame, Display* display,
                Window host) {
    for (const PanelScale& s : kPanelScales) {
        std::printf("scale %.2f\n", s.factor);
        IPlugView* view = plugin.controller->createView(kEditorViewName);
        void* found = nullptr;
        if (!view || view->queryInterface(IPlugViewContentScaleSupport::iid.bytes, &found) != kResultOk || !found)
            return failed("the view has no content scale support");
        auto* scaling = static_cast<IPlugViewContentScaleSupport*>(found);
        for (float bad : {0.0f, -1.0f, std::nanf("")})
            if (scaling->setContentScaleFactor(bad) != kResultFalse) return failed("a factor below 0 or NaN was taken");
        ViewRect size{};
        if (scaling->setContentScaleFactor(float(s.factor)) != kResultTrue || view->getSize(&size) != kResultOk ||
            !hasSize(size, s.width, s.height))
            return failed("the view's size at the scale");
        view->setFrame(&frame);
        if (int code = attachAndPaint(view, frame, display, host)) return code;
        const Window panelAt = panelWindowIn(display, host);
        const int unlike = pixelsUnlikeTheArtwork(display, panelAt, s.factor);
        std::printf("pixels unlike the artwork: %d\n", unlike);
        if (unlike != 0) return failed("the panel is not the artwork program's picture at its scale");
        if (s.factor == 2.0)
            if (int code = driveAtTwice(plugin, handler, frame, display, panelAt, *scaling)) return code;
        view->removed();
        scaling->release();
        view->release();
    }
    return 0;
}

}  // namespace

int main() {
    Window host = 0;
    Display* display = openHostWindow(host);
    if (!display) return 1;

    testhost::Instance plugin;
    RecordingHandler handler;
    HostFrame frame;
    plugin.controller->setComponentHandler(&handler);
    IPlugView* view = plugin.controller->createView(kEditorViewName);
    if (!view) return failed("no editor view");
    if (plugin.controller->createView("other") != nullptr) return failed("a view for another name");

    ViewRect size{};
    ViewRect other{0, 0, 500, 300};
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue ||
        view->isPlatformTypeSupported(kPlatformTypeHWND) == kResultTrue)
        return failed("the platform types");
    if (view->getSize(&size) != kResultOk || size.right - size.left != panel::kWidth ||
        size.bottom - size.top != panel::kHeight)
        return failed("the view's size is not the artwork's");
    if (view->canResize() == kResultTrue || view->onSize(&size) != kResultOk || view->onSize(&other) == kResultOk)
        return failed("the view is resizable");
    if (int code = checkScales(plugin, handler, frame, display, host)) return code;
    if (view->setFrame(&frame) != kResultOk) return failed("setFrame");
    if (int code = attachAndPaint(view, frame, display, host)) return code;
    const Window panelAt = panelWindowIn(display, host);
    // Exposures from here reach the panel's connection; its descriptor wakes the loop first
    // unless the timer happens to be due, so a few tries settle it.
    for (int i = 0; i < 10 && frame.loop.descriptorCalls == 0; ++i) {
        XClearArea(display, panelAt, 0, 0, 0, 0, True);
        XFlush(display);
        frame.run(50);
    }
    std::printf("timer calls %d, descriptor calls %d\n", frame.loop.timerCalls, frame.loop.descriptorCalls);
    if (frame.loop.timerCalls == 0 || frame.loop.descriptorCalls == 0)
        return failed("the run loop's handlers never ran");

    // The drag.
    const ParamValue t60 = plugin.controller->getParamNormalized(kT60);
    dragKnobUp(display, panelAt, kT60, kDragUp,
               [&frame](int millis, const std::atomic<bool>* done) { frame.run(millis, done); });
    if (int code = checkDrag(handler, t60)) return code;
    if (plugin.controller->getParamNormalized(kT60) != handler.edits[handler.edits.size() - 2].value)
        return failed("the controller does not hold the value the host was told");

    // The host moves Damping; the knob redraws at an idle.
    const std::vector<unsigned long> damping = panelPixels(display, panelAt, knobRect(kDamping));
    const ParamValue dampingValue = plugin.controller->getParamNormalized(kDamping);
    plugin.controller->setParamNormalized(kDamping, dampingValue < 0.5 ? 0.95 : 0.05);
    frame.run(200);
    if (damping.empty() || panelPixels(display, panelAt, knobRect(kDamping)) == damping)
        return failed("the Damping knob did not move for the host's change");

    // Loud audio lights the meter; a sensitive gate is open for it.
    plugin.controller->setParamNormalized(kSensitivity, 0.5);
    const std::vector<unsigned long> meter = panelPixels(display, panelAt, panel::kMeter);
    std::vector<float> loud(4096);
    for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = (i % 2) ? 0.9f : -0.9f;
    std::vector<float> outLeft(loud.size()), outRight(loud.size());
    for (int block = 0; block < 8; ++block) {
        plugin.process(loud.data(), loud.data(), outLeft.data(), outRight.data(), std::int32_t(loud.size()));
        frame.run(40);
    }
    if (panelPixels(display, panelAt, panel::kMeter) == meter) return failed("the meter did not move");

    // Silence after it closes the gate (hold, then release): the LED leaves its green image.
    const std::vector<unsigned long> openLed = panelPixels(display, panelAt, panel::kGateLed);
    std::vector<float> silence(loud.size(), 0.0f);
    bool ledChanged = false;
    for (int block = 0; block < 8 && !ledChanged; ++block) {
        plugin.process(silence.data(), silence.data(), outLeft.data(), outRight.data(), std::int32_t(silence.size()));
        frame.run(80);
        ledChanged = panelPixels(display, panelAt, panel::kGateLed) != openLed;
    }
    if (!ledChanged) return failed("the gate LED did not follow the gate");

    // Removed, then attached again.
    if (view->removed() != kResultOk) return failed("removed");
    XSync(display, False);
    if (frame.loop.timerCount() != 0 || frame.loop.descriptorCount() != 0)
        return failed("handlers left in the run loop");
    if (panelWindowIn(display, host) != 0) return failed("the panel window outlived removed");
    if (int code = attachAndPaint(view, frame, display, host)) return code;
    if (panelPixels(display, panelWindowIn(display, host), knobRect(kDamping)).empty())
        return failed("no second panel");
    view->removed();
    view->release();
    if (frame.references != 0) return failed("the view kept a reference to the frame");
    plugin.controller->setComponentHandler(nullptr);

    closeHostWindow(display, host);
    std::printf("ok\n");
    return 0;
}
