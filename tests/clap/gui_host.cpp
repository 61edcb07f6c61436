// A small CLAP host for the panel's test: loads the module, embeds the gui in a window of its
// own and serves it through timer-support and posix-fd-support from a main loop that really
// runs them. It drags the T60 knob twice (Alt held: linear, 200 pixels for the whole range)
// and checks the gesture and values a flush, then a process call, delivers; sends Damping from the host side and
// sees the knob redrawn; then destroys and creates the gui 50 times, checking that the
// host's registrations, the X server's windows and the process's descriptors come back to
// where they were. Before all that, the gui at each scale the host sets: its size, its
// pixels against the artwork program's picture, and at 200 % a drag, a click on "Dry out"
// and a new scale while shown, for which the plug-in asks the host for the new size.
//   clap_gui_host            (needs an X display with XTest)
#include <X11/Xlib.h>
#include <dirent.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "clap_host.h"
#include "common/panel_x11.h"
#include "tools/vsthost/poll_loop.h"
#include "effect/parameter_table.h"

namespace {

using namespace testhost;

constexpr int kDragUp = 40;  // a fifth of the range
constexpr int kCycles = 50;

int failed(const char* what) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

// The host's main loop: timers by the ids it hands out, descriptors by themselves.
struct MainLoop {
    const Plugin* plugin = nullptr;
    const PluginTimerSupport* timerSupport = nullptr;
    const PluginPosixFdSupport* fdSupport = nullptr;
    Id nextTimer = 7;
    std::uint32_t askedWidth = 0, askedHeight = 0;  // the last request_resize
    PollLoop loop{[this](PollLoop::Key id) { timerSupport->onTimer(plugin, Id(id)); },
                  [this](PollLoop::Key, int fd) { fdSupport->onFd(plugin, fd, kPosixFdRead); }};
};

MainLoop& loopOf(const Host* host) { return *static_cast<MainLoop*>(Instance::of(host).additions.context); }

bool CLAP_CALL registerTimer(const Host* host, std::uint32_t millis, Id* id) {
    MainLoop& m = loopOf(host);
    *id = m.nextTimer++;
    m.loop.addTimer(*id, millis);
    return true;
}
bool CLAP_CALL unregisterTimer(const Host* host, Id id) { return loopOf(host).loop.removeTimer(id); }
const HostTimerSupport kTimers = {registerTimer, unregisterTimer};

bool CLAP_CALL registerFd(const Host* host, int fd, std::uint32_t flags) {
    MainLoop& m = loopOf(host);
    if (m.loop.hasDescriptor(PollLoop::Key(fd)) || flags != kPosixFdRead) return false;
    m.loop.addDescriptor(PollLoop::Key(fd), fd);
    return true;
}
bool CLAP_CALL modifyFd(const Host*, int, std::uint32_t) { return false; }
bool CLAP_CALL unregisterFd(const Host* host, int fd) { return loopOf(host).loop.removeDescriptor(PollLoop::Key(fd)); }
const HostPosixFdSupport kFds = {registerFd, modifyFd, unregisterFd};

bool CLAP_CALL requestResize(const Host* host, std::uint32_t width, std::uint32_t height) {
    loopOf(host).askedWidth = width;
    loopOf(host).askedHeight = height;
    return true;
}
const HostGui kHostGui = {nullptr, requestResize, nullptr, nullptr, nullptr};

const void* hostLoopExtension(const char* id) {
    if (std::strcmp(id, kGuiExt) == 0) return &kHostGui;
    if (std::strcmp(id, kTimerSupportExt) == 0) return &kTimers;
    if (std::strcmp(id, kPosixFdSupportExt) == 0) return &kFds;
    return nullptr;
}

int windowsBelow(Display* display, ::Window window) {
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    int total = int(count);
    for (unsigned i = 0; i < count; ++i) total += windowsBelow(display, children[i]);
    if (children) XFree(children);
    return total;
}

int openDescriptors() {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    int count = 0;
    while (readdir(dir)) ++count;
    closedir(dir);
    return count;
}

int openGui(const PluginGui& gui, MainLoop& main, Display* display, ::Window host,
            const PanelScale& scale = kPanelScales[0]) {
    WindowRef parent{kWindowApiX11, {}};
    parent.x11 = host;
    if (!gui.create(main.plugin, kWindowApiX11, false)) return failed("create");
    std::uint32_t width = 0, height = 0;
    if (!gui.setScale(main.plugin, scale.factor) || !gui.getSize(main.plugin, &width, &height) ||
        width != std::uint32_t(scale.width) || height != std::uint32_t(scale.height))
        return failed("the size of the artwork at the scale");
    if (!gui.setParent(main.plugin, &parent) || !gui.show(main.plugin)) return failed("set_parent or show");
    if (main.loop.timerCount() != 1 || main.loop.descriptorCount() != 1)
        return failed("show did not register one timer and the display's descriptor");
    main.loop.run(60);
    XSync(display, False);
    if (panelWindowIn(display, host) == 0) return failed("no panel window inside the host's window");
    return 0;
}

int closeGui(const PluginGui& gui, MainLoop& main, Display* display, ::Window host) {
    gui.destroy(main.plugin);
    XSync(display, False);
    if (main.loop.timerCount() != 0 || main.loop.descriptorCount() != 0)
        return failed("registrations outlived destroy");
    if (panelWindowIn(display, host) != 0) return failed("the panel window outlived destroy");
    return 0;
}

// A begin, values that only rise, an end, all of T60; the plug-in stores the last value.
int checkDrag(const OutputList& out, const Instance& plugin) {
    const auto& e = out.sent;
    for (const OutputList::Sent& s : e) std::printf("%u %u %.4f\n", s.type, s.id, s.value);
    if (e.size() < 4 || e.front().type != kEventParamGestureBegin || e.back().type != kEventParamGestureEnd)
        return failed("no gesture begin ... end");
    double last = -1e9;
    for (std::size_t i = 0; i < e.size(); ++i) {
        if (e[i].id != Id(kT60)) return failed("an event of a parameter other than T60");
        if ((i == 0 || i + 1 == e.size()) != (e[i].type != kEventParamValue)) return failed("a gesture inside it");
        if (e[i].type == kEventParamValue && e[i].value < last) return failed("T60 went down as the knob went up");
        if (e[i].type == kEventParamValue) last = e[i].value;
    }
    if (!(last > e[1].value)) return failed("T60 did not follow the drag");
    if (plugin.value(kT60) != last) return failed("the plug-in does not hold the value the host was told");
    return 0;
}

// The plug-in's value of a parameter put back from the host's side.
void restore(Instance& plugin, std::uint32_t id, double value) {
    EventList change;
    change.value(0, id, value);
    OutputList ignored;
    plugin.params().flush(plugin.plugin, change.list(), ignored.list());
}

// The drag, the click and a new scale at 200 %; the values are put back afterwards.
int driveAtTwice(const PluginGui& gui, MainLoop& main, Instance& plugin, Display* display, ::Window panelAt) {
    const auto run = [&main](int millis, const std::atomic<bool>* done) { main.loop.run(millis, done); };
    const EventList none;
    const double t60 = plugin.value(kT60), dry = plugin.value(kDryOut);
    dragKnobUp(display, panelAt, kT60, kDragUp, run, 2.0);
    OutputList dragged;
    plugin.params().flush(main.plugin, none.list(), dragged.list());
    if (int code = checkDrag(dragged, plugin)) return code;
    clickPanel(display, panelAt, panel::kDryButton, run, 2.0);
    OutputList clicked;
    plugin.params().flush(main.plugin, none.list(), clicked.list());
    int values = 0;
    for (const OutputList::Sent& s : clicked.sent)
        if (s.type == kEventParamValue) values += s.id == Id(kDryOut) && s.value != dry ? 1 : 100;
    if (values != 1 || plugin.value(kDryOut) == dry) return failed("a click on Dry out did not switch it");
    restore(plugin, kT60, t60);
    restore(plugin, kDryOut, dry);

    if (!gui.setScale(main.plugin, 1.5) || main.askedWidth != 672 || main.askedHeight != 377)
        return failed("a new scale while shown did not ask the host for the new size");
    main.loop.run(100);
    int width = 0, height = 0;
    windowSize(display, panelAt, width, height);
    if (width != 672 || height != 377) return failed("the panel window did not take the new size");
    return 0;
}

int checkScales(const PluginGui& gui, MainLoop& main, Instance& plugin, Display* display, ::Window host) {
    for (const PanelScale& s : kPanelScales) {
        std::printf("scale %.2f\n", s.factor);
        if (int code = openGui(gui, main, display, host, s)) return code;
        const ::Window panelAt = panelWindowIn(display, host);
        main.loop.run(200);
        const int unlike = pixelsUnlikeTheArtwork(display, panelAt, s.factor);
        std::printf("pixels unlike the artwork: %d\n", unlike);
        if (unlike != 0) return failed("the panel is not the artwork program's picture at its scale");
        if (s.factor == 2.0)
            if (int code = driveAtTwice(gui, main, plugin, display, panelAt)) return code;
        if (int code = closeGui(gui, main, display, host)) return code;
    }
    return 0;
}

}  // namespace

int main() {
    ::Window host = 0;
    Display* display = openHostWindow(host);
    if (!display) return 1;

    MainLoop main;
    Instance plugin(HostAdditions{hostLoopExtension, &main});
    const Plugin* p = main.plugin = plugin.plugin;
    const auto* guiExt = static_cast<const PluginGui*>(p->getExtension(p, kGuiExt));
    main.timerSupport = static_cast<const PluginTimerSupport*>(p->getExtension(p, kTimerSupportExt));
    main.fdSupport = static_cast<const PluginPosixFdSupport*>(p->getExtension(p, kPosixFdSupportExt));
    if (!guiExt || !main.timerSupport || !main.fdSupport) return failed("no gui, timer-support or posix-fd-support");
    const PluginGui& gui = *guiExt;

    if (int code = checkScales(gui, main, plugin, display, host)) return code;
    const int windowsBefore = windowsBelow(display, DefaultRootWindow(display));
    const int descriptorsBefore = openDescriptors();
    if (int code = openGui(gui, main, display, host)) return code;
    // Hidden, nothing runs; shown again, it runs again.
    if (!gui.hide(p) || main.loop.timerCount() != 0 || main.loop.descriptorCount() != 0) return failed("hide");
    if (!gui.show(p) || main.loop.timerCount() != 1) return failed("show after hide");

    const ::Window panelAt = panelWindowIn(display, host);
    // Exposures reach the panel's connection; its descriptor wakes the loop first unless
    // the timer happens to be due, so a few tries settle it.
    for (int i = 0; i < 10 && main.loop.descriptorCalls == 0; ++i) {
        XClearArea(display, panelAt, 0, 0, 0, 0, True);
        XFlush(display);
        main.loop.run(50);
    }
    std::printf("timer calls %d, descriptor calls %d\n", main.loop.timerCalls, main.loop.descriptorCalls);
    if (main.loop.timerCalls == 0 || main.loop.descriptorCalls == 0)
        return failed("the main loop's callbacks never ran");

    // The drag, then the flush the plug-in asked for.
    const EventList none;
    OutputList before;
    plugin.params().flush(p, none.list(), before.list());
    const int flushRequests = plugin.log.flushRequests;
    const auto run = [&main](int millis, const std::atomic<bool>* done) { main.loop.run(millis, done); };
    dragKnobUp(display, panelAt, kT60, kDragUp, run);
    if (plugin.log.flushRequests == flushRequests) return failed("the drag asked for no flush");
    OutputList dragged;
    plugin.params().flush(p, none.list(), dragged.list());
    if (int code = checkDrag(dragged, plugin)) return code;

    // Once more, and the next block brings it.
    dragKnobUp(display, panelAt, kT60, kDragUp, run);
    std::vector<float> silence(256, 0.0f);
    OutputList processed;
    plugin.process(silence.data(), silence.data(), silence.data(), silence.data(), 256, &none, &processed);
    if (int code = checkDrag(processed, plugin)) return code;
    if (!(processed.sent[1].value > dragged.sent[dragged.sent.size() - 2].value))
        return failed("the second drag did not start where the first ended");

    // The host moves Damping; the knob redraws at an idle.
    const std::vector<unsigned long> damping = panelPixels(display, panelAt, knobRect(kDamping));
    const std::uint32_t damp = kDamping;
    ParamInfo info{};
    plugin.params().getInfo(p, damp, &info);
    EventList change;
    change.value(0, damp, plugin.value(damp) < 0.5 * (info.minValue + info.maxValue) ? info.maxValue : info.minValue);
    OutputList ignored;
    plugin.params().flush(p, change.list(), ignored.list());
    main.loop.run(200);
    if (damping.empty() || panelPixels(display, panelAt, knobRect(kDamping)) == damping)
        return failed("the Damping knob did not move for the host's change");

    // Destroyed and created again and again: nothing may be left behind.
    if (int code = closeGui(gui, main, display, host)) return code;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        if (int code = openGui(gui, main, display, host)) return code;
        if (int code = closeGui(gui, main, display, host)) return code;
    }
    const int windowsAfter = windowsBelow(display, DefaultRootWindow(display));
    const int descriptorsAfter = openDescriptors();
    std::printf("after %d cycles: windows %d -> %d, descriptors %d -> %d\n", kCycles, windowsBefore, windowsAfter,
                descriptorsBefore, descriptorsAfter);
    if (windowsAfter != windowsBefore) return failed("windows left on the X server");
    if (descriptorsAfter != descriptorsBefore) return failed("descriptors left open");

    closeHostWindow(display, host);
    std::printf("ok\n");
    return 0;
}
