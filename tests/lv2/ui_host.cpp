// A small LV2 UI host for the panel's test: loads hallmere_ui.so from the bundle, embeds it
// in a window of its own, tells it T60's port value, drags the T60 knob with the Alt key
// held (linear mode: 200 pixels for the whole range) and checks that the port writes follow
// the drag inside touch brackets.
//   ui_host BUNDLE_FOLDER        (needs an X display with XTest)
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "common/xtest_drag.h"
#include "editor/panel_layout.h"
#include "effect/parameter_table.h"

namespace {

constexpr uint32_t kT60Port = 4 + kT60;
constexpr const panel::KnobPlace& t60Knob() {
    for (const panel::KnobPlace& place : panel::kKnobs)
        if (place.parameter == kT60) return place;
    return panel::kKnobs[0];
}
constexpr int kKnobX = t60Knob().x + panel::kKnobSize / 2;
constexpr int kKnobY = t60Knob().y + panel::kKnobSize / 2;
constexpr int kDragUp = 40;  // a fifth of the range

struct Record {
    std::vector<std::pair<uint32_t, float>> writes;
    std::vector<std::pair<uint32_t, bool>> touches;  // in order with the writes: see events
    std::vector<std::string> events;
    int width = 0, height = 0;
};

void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    auto* record = static_cast<Record*>(controller);
    if (format == 0 && size == sizeof(float)) {
        record->writes.emplace_back(port, *static_cast<const float*>(buffer));
        record->events.push_back("write " + std::to_string(port));
    }
}

void touch(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    auto* record = static_cast<Record*>(handle);
    record->touches.emplace_back(port, grabbed);
    record->events.push_back(std::string(grabbed ? "grab " : "release ") + std::to_string(port));
}

int resize(LV2UI_Feature_Handle handle, int width, int height) {
    auto* record = static_cast<Record*>(handle);
    record->width = width;
    record->height = height;
    return 0;
}

void pause(int millis) { std::this_thread::sleep_for(std::chrono::milliseconds(millis)); }

int failed(const char* what) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return failed("usage: ui_host BUNDLE_FOLDER");
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    if (!display) return failed("no X display");
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) return failed("no XTest");
    Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 600, 400, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);

    void* library = dlopen((std::string(argv[1]) + "/hallmere_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return failed(dlerror());
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    const LV2UI_Descriptor* ui = entry ? entry(0) : nullptr;
    if (!ui || std::string(ui->URI) != "urn:tovik:hallmere:ui" || entry(1) != nullptr)
        return failed("hallmere_ui.so does not describe exactly the panel");
    auto* idle = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    if (!idle) return failed("no idle interface");

    Record record;
    LV2UI_Resize resizer{&record, resize};
    LV2UI_Touch toucher{&record, touch};
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(host)};
    LV2_Feature resizeFeature{LV2_UI__resize, &resizer};
    LV2_Feature touchFeature{LV2_UI__touch, &toucher};
    LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature* features[] = {&parent, &resizeFeature, &touchFeature, &idleFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = ui->instantiate(ui, "urn:tovik:hallmere", argv[1], write, &record, &widget, features);
    if (!handle || !widget) return failed("the panel did not open");
    if (record.width != panel::kWidth || record.height != panel::kHeight)
        return failed("the panel asked for a size other than its artwork's");

    // The host tells the panel T60's value (3550 ms is normalised 0.5), then a meter and gate reading.
    const float t60 = 3550.0f, meter = 0.5f, gate = 1.0f;
    ui->port_event(handle, kT60Port, sizeof t60, 0, &t60);
    ui->port_event(handle, 4 + kParameterCount, sizeof meter, 0, &meter);
    ui->port_event(handle, 5 + kParameterCount, sizeof gate, 0, &gate);
    for (int i = 0; i < 20; ++i, pause(10)) idle->idle(handle);
    if (!record.writes.empty()) return failed("the panel wrote ports before any gesture");

    int rootX = 0, rootY = 0;
    Window child;
    XTranslateCoordinates(display, reinterpret_cast<Window>(widget), DefaultRootWindow(display), kKnobX, kKnobY, &rootX,
                          &rootY, &child);
    std::atomic<bool> done{false};
    std::thread input(xtestAltDragUp, rootX, rootY, kDragUp, std::ref(done));
    while (!done) {
        idle->idle(handle);
        pause(10);
    }
    input.join();
    for (int i = 0; i < 10; ++i, pause(10)) idle->idle(handle);
    ui->cleanup(handle);
    dlclose(library);
    XDestroyWindow(display, host);
    XCloseDisplay(display);

    for (const std::string& event : record.events) std::printf("%s\n", event.c_str());
    if (record.writes.size() < 3) return failed("the drag wrote fewer than three port values");
    float last = 0.0f;
    for (const auto& [port, value] : record.writes) {
        if (port != kT60Port) return failed("the drag wrote a port other than T60's");
        if (value < last) return failed("T60 went down while the knob went up");
        last = value;
    }
    const ParameterRange& range = parameterTable[kT60].range;
    const double expected = range.lerp(0.5f + static_cast<float>(kDragUp) / 200.0f);
    std::printf("T60 after the drag: %.3f ms (expected about %.3f)\n", last, expected);
    if (std::fabs(last - expected) > (range.max - range.min) * 0.02) return failed("T60 did not follow the drag");
    if (record.events.front() != "grab " + std::to_string(kT60Port) ||
        record.events.back() != "release " + std::to_string(kT60Port) || record.touches.size() != 2)
        return failed("the writes are not bracketed by one touch");
    std::printf("ok\n");
    return 0;
}
