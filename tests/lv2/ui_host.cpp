// A small LV2 UI host for the panel's test: loads hallmere_ui.so from the bundle and, at each
// scale factor it offers as the ui:scaleFactor option, embeds it in a window of its own,
// checks the size it asks for and its pixels against the artwork program's picture, tells
// it T60's port value, drags the T60 knob with the Alt key held (linear mode: 200 units for
// the whole range) and checks that the port writes follow the drag inside touch brackets,
// and clicks "Dry out". At 200 % it then sets a new factor through the options interface.
//   ui_host BUNDLE_FOLDER        (needs an X display with XTest)
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "common/panel_x11.h"
#include "effect/parameter_table.h"
#include "plugin/lv2/port_map.h"

namespace {

constexpr uint32_t kT60Port = lv2port::forParameter(kT60);
constexpr uint32_t kDryPort = lv2port::forParameter(kDryOut);
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

// URIs by their place in the list, from 1.
LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    for (std::size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return LV2_URID(i + 1);
    uris.push_back(uri);
    return LV2_URID(uris.size());
}

void pause(int millis) { std::this_thread::sleep_for(std::chrono::milliseconds(millis)); }

int failed(const char* what) {
    std::fprintf(stderr, "FAIL: %s\n", what);
    return 1;
}

struct UiHost {
    const LV2UI_Descriptor* ui = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    const LV2_Options_Interface* options = nullptr;
    std::string bundle;
    Display* display = nullptr;
    Window window = 0;
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, mapUri};
};

// One ui:scaleFactor option, as a host gives it.
struct ScaleOption {
    ScaleOption(UiHost& host, float factor)
        : factor(factor),
          list{{LV2_OPTIONS_INSTANCE, 0, mapUri(&host.uris, LV2_UI__scaleFactor), sizeof(float),
                mapUri(&host.uris, LV2_ATOM__Float), &this->factor},
               {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}} {}
    float factor;
    LV2_Options_Option list[2];
};

// The drag's writes: T60 alone, only rising, to about where 40 units up from 0.5 puts it,
// inside one touch bracket.
int checkDrag(const Record& record) {
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
    return 0;
}

int runAt(UiHost& host, const PanelScale& scale) {
    std::printf("scale %.2f\n", scale.factor);
    Record record;
    ScaleOption option(host, float(scale.factor));
    LV2UI_Resize resizer{&record, resize};
    LV2UI_Touch toucher{&record, touch};
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(host.window)};
    LV2_Feature resizeFeature{LV2_UI__resize, &resizer};
    LV2_Feature touchFeature{LV2_UI__touch, &toucher};
    LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    LV2_Feature mapFeature{LV2_URID__map, &host.map};
    LV2_Feature optionsFeature{LV2_OPTIONS__options, option.list};
    const LV2_Feature* features[] = {&parent,     &resizeFeature,  &touchFeature, &idleFeature,
                                     &mapFeature, &optionsFeature, nullptr};
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle =
        host.ui->instantiate(host.ui, "urn:tovik:hallmere", host.bundle.c_str(), write, &record, &widget, features);
    if (!handle || !widget) return failed("the panel did not open");
    if (record.width != scale.width || record.height != scale.height)
        return failed("the panel asked for a size other than its artwork's at the scale");
    const auto run = [&](int millis, const std::atomic<bool>* done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
        while (!(done && *done) && std::chrono::steady_clock::now() < end) {
            host.idle->idle(handle);
            pause(10);
        }
    };

    // Until the host reports otherwise, the first program: the values of the picture.
    const Window panelAt = reinterpret_cast<Window>(widget);
    run(200, nullptr);
    const int unlike = pixelsUnlikeTheArtwork(host.display, panelAt, scale.factor);
    std::printf("pixels unlike the artwork: %d\n", unlike);
    if (unlike != 0) return failed("the panel is not the artwork program's picture at its scale");

    // The host tells the panel T60's value (3550 ms is normalised 0.5), then a meter and gate reading.
    const float t60 = 3550.0f, meter = 0.5f, gate = 1.0f;
    host.ui->port_event(handle, kT60Port, sizeof t60, 0, &t60);
    host.ui->port_event(handle, lv2port::kMeter, sizeof meter, 0, &meter);
    host.ui->port_event(handle, lv2port::kGate, sizeof gate, 0, &gate);
    run(200, nullptr);
    if (!record.writes.empty()) return failed("the panel wrote ports before any gesture");

    dragKnobUp(host.display, panelAt, kT60, kDragUp, run, scale.factor);
    if (int code = checkDrag(record)) return code;
    record.writes.clear();
    clickPanel(host.display, panelAt, panel::kDryButton, run, scale.factor);
    if (record.writes.size() != 1 || record.writes[0].first != kDryPort || record.writes[0].second != 1.0f)
        return failed("a click on Dry out did not switch it on");

    if (scale.factor == 2.0) {
        ScaleOption next(host, 1.5f);
        if (host.options->set(handle, next.list) != LV2_OPTIONS_SUCCESS || record.width != 672 || record.height != 377)
            return failed("a new factor through the options interface did not ask for the new size");
        ScaleOption bad(host, std::nanf(""));
        if (host.options->set(handle, bad.list) != LV2_OPTIONS_ERR_BAD_VALUE) return failed("a NaN factor was taken");
        run(100, nullptr);
        int width = 0, height = 0;
        windowSize(host.display, panelAt, width, height);
        if (width != 672 || height != 377) return failed("the panel window did not take the new size");
    }
    host.ui->cleanup(handle);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return failed("usage: ui_host BUNDLE_FOLDER");
    UiHost host;
    host.bundle = argv[1];
    host.display = openHostWindow(host.window);
    if (!host.display) return 1;

    void* library = dlopen((host.bundle + "/hallmere_ui.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return failed(dlerror());
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
    host.ui = entry ? entry(0) : nullptr;
    if (!host.ui || std::string(host.ui->URI) != "urn:tovik:hallmere:ui" || entry(1) != nullptr)
        return failed("hallmere_ui.so does not describe exactly the panel");
    host.idle = static_cast<const LV2UI_Idle_Interface*>(host.ui->extension_data(LV2_UI__idleInterface));
    host.options = static_cast<const LV2_Options_Interface*>(host.ui->extension_data(LV2_OPTIONS__interface));
    if (!host.idle || !host.options) return failed("no idle or options interface");

    for (const PanelScale& scale : kPanelScales)
        if (int code = runAt(host, scale)) return code;
    dlclose(library);
    closeHostWindow(host.display, host.window);
    std::printf("ok\n");
    return 0;
}
