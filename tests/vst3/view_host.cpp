// A small VST 3 view host for the panel's test: loads the bundle's module, embeds the view
// in a window of its own and serves it through a run loop that really runs the view's
// timer and descriptor handlers. It drags the T60 knob (Alt held: linear, 200 pixels for
// the whole range) and checks the edit brackets at its component handler; sets Damping
// from the host side and sees the knob redrawn; plays audio and sees the meter and the gate
// LED move; then removes the view and attaches it again.
//   vst3_view_host            (needs an X display with XTest)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <poll.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "common/xtest_drag.h"
#include "editor/panel_layout.h"
#include "effect/parameter_table.h"
#include "plugin/vst3/vst3_view.h"
#include "vst3_host.h"

namespace {

using namespace vst3;
using Clock = std::chrono::steady_clock;

constexpr const panel::KnobPlace& knobOf(int parameter) {
    for (const panel::KnobPlace& place : panel::kKnobs)
        if (place.parameter == parameter) return place;
    return panel::kKnobs[0];
}
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
    tresult VST3_CALL resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }

    tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) override {
        watched.push_back({handler, fd});
        return kResultOk;
    }
    tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) override {
        return erase(watched, handler) ? kResultOk : kInvalidArgument;
    }
    tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval millis) override {
        timers.push_back({handler, std::chrono::milliseconds(millis), Clock::now()});
        return kResultOk;
    }
    tresult VST3_CALL unregisterTimer(ITimerHandler* handler) override {
        return erase(timers, handler) ? kResultOk : kInvalidArgument;
    }

    // Runs the handlers for `millis`, or until `done` is set.
    void run(int millis, const std::atomic<bool>* done = nullptr) {
        const Clock::time_point end = Clock::now() + std::chrono::milliseconds(millis);
        while (Clock::now() < end && !(done && *done)) {
            std::vector<pollfd> fds;
            for (const Watch& w : watched) fds.push_back({w.fd, POLLIN, 0});
            poll(fds.data(), fds.size(), 5);
            for (std::size_t i = 0; i < fds.size() && i < watched.size(); ++i)
                if (fds[i].revents & POLLIN) {
                    ++descriptorCalls;
                    watched[i].handler->onFDIsSet(fds[i].fd);
                }
            for (std::size_t i = 0; i < timers.size(); ++i)
                if (Clock::now() >= timers[i].due) {
                    timers[i].due = Clock::now() + timers[i].interval;
                    ++timerCalls;
                    timers[i].handler->onTimer();
                }
        }
    }

    struct Watch {
        IEventHandler* handler;
        int fd;
    };
    struct Timer {
        ITimerHandler* handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    std::vector<Watch> watched;
    std::vector<Timer> timers;
    int descriptorCalls = 0;
    int timerCalls = 0;
    int references = 0;

private:
    template <class List, class Handler>
    static bool erase(List& list, Handler* handler) {
        for (auto i = list.begin(); i != list.end(); ++i)
            if (i->handler == handler) {
                list.erase(i);
                return true;
            }
        return false;
    }
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

// The panel's window: the one child of the host's window.
Window panelWindow(Display* display, Window host) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, host, &root, &parent, &children, &count);
    const Window found = count == 1 ? children[0] : 0;
    if (children) XFree(children);
    return found;
}

std::vector<unsigned long> pixels(Display* display, Window window, const panel::PixelRect& r) {
    std::vector<unsigned long> out;
    XImage* image =
        XGetImage(display, window, r.left, r.top, unsigned(r.width()), unsigned(r.height()), AllPlanes, ZPixmap);
    if (!image) return out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) out.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return out;
}

panel::PixelRect knobRect(int parameter) {
    const panel::KnobPlace& k = knobOf(parameter);
    return {k.x, k.y, k.x + panel::kKnobSize, k.y + panel::kKnobSize};
}

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
    if (frame.timers.size() != 1 || frame.watched.size() != 1)
        return failed("the view did not register one timer and one descriptor handler");
    frame.run(400);
    if (panelWindow(display, host) == 0) return failed("no panel window inside the host's window");
    return 0;
}

}  // namespace

int main() {
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (!display) return failed("no X display");
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) return failed("no XTest");
    const Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 600, 400, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

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
    if (view->setFrame(&frame) != kResultOk) return failed("setFrame");
    if (int code = attachAndPaint(view, frame, display, host)) return code;
    const Window panelAt = panelWindow(display, host);
    // Exposures from here reach the panel's connection; its descriptor wakes the loop first
    // unless the timer happens to be due, so a few tries settle it.
    for (int i = 0; i < 10 && frame.descriptorCalls == 0; ++i) {
        XClearArea(display, panelAt, 0, 0, 0, 0, True);
        XFlush(display);
        frame.run(50);
    }
    std::printf("timer calls %d, descriptor calls %d\n", frame.timerCalls, frame.descriptorCalls);
    if (frame.timerCalls == 0 || frame.descriptorCalls == 0) return failed("the run loop's handlers never ran");

    // The drag.
    const ParamValue t60 = plugin.controller->getParamNormalized(kT60);
    const panel::KnobPlace& knob = knobOf(kT60);
    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, panelAt, DefaultRootWindow(display), knob.x + panel::kKnobSize / 2,
                          knob.y + panel::kKnobSize / 2, &rootX, &rootY, &child);
    std::atomic<bool> done{false};
    std::thread input(xtestAltDragUp, rootX, rootY, kDragUp, std::ref(done));
    frame.run(10000, &done);
    input.join();
    frame.run(200);
    if (int code = checkDrag(handler, t60)) return code;
    if (plugin.controller->getParamNormalized(kT60) != handler.edits[handler.edits.size() - 2].value)
        return failed("the controller does not hold the value the host was told");

    // The host moves Damping; the knob redraws at an idle.
    const std::vector<unsigned long> damping = pixels(display, panelAt, knobRect(kDamping));
    const ParamValue dampingValue = plugin.controller->getParamNormalized(kDamping);
    plugin.controller->setParamNormalized(kDamping, dampingValue < 0.5 ? 0.95 : 0.05);
    frame.run(200);
    if (damping.empty() || pixels(display, panelAt, knobRect(kDamping)) == damping)
        return failed("the Damping knob did not move for the host's change");

    // Loud audio lights the meter; a sensitive gate is open for it.
    plugin.controller->setParamNormalized(kSensitivity, 0.5);
    const std::vector<unsigned long> meter = pixels(display, panelAt, panel::kMeter);
    std::vector<float> loud(4096);
    for (std::size_t i = 0; i < loud.size(); ++i) loud[i] = (i % 2) ? 0.9f : -0.9f;
    std::vector<float> outLeft(loud.size()), outRight(loud.size());
    for (int block = 0; block < 8; ++block) {
        plugin.process(loud.data(), loud.data(), outLeft.data(), outRight.data(), std::int32_t(loud.size()));
        frame.run(40);
    }
    if (pixels(display, panelAt, panel::kMeter) == meter) return failed("the meter did not move");

    // Silence after it closes the gate (hold, then release): the LED leaves its green image.
    const std::vector<unsigned long> openLed = pixels(display, panelAt, panel::kGateLed);
    std::vector<float> silence(loud.size(), 0.0f);
    bool ledChanged = false;
    for (int block = 0; block < 8 && !ledChanged; ++block) {
        plugin.process(silence.data(), silence.data(), outLeft.data(), outRight.data(), std::int32_t(silence.size()));
        frame.run(80);
        ledChanged = pixels(display, panelAt, panel::kGateLed) != openLed;
    }
    if (!ledChanged) return failed("the gate LED did not follow the gate");

    // Removed, then attached again.
    if (view->removed() != kResultOk) return failed("removed");
    XSync(display, False);
    if (!frame.timers.empty() || !frame.watched.empty()) return failed("handlers left in the run loop");
    if (panelWindow(display, host) != 0) return failed("the panel window outlived removed");
    if (int code = attachAndPaint(view, frame, display, host)) return code;
    if (pixels(display, panelWindow(display, host), knobRect(kDamping)).empty()) return failed("no second panel");
    view->removed();
    view->release();
    if (frame.references != 0) return failed("the view kept a reference to the frame");
    plugin.controller->setComponentHandler(nullptr);

    XDestroyWindow(display, host);
    XCloseDisplay(display);
    std::printf("ok\n");
    return 0;
}
