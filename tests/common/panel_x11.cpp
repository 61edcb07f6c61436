#include "common/panel_x11.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdio>
#include <thread>

#include "common/xtest_drag.h"

Display* openHostWindow(Window& host) {
    XInitThreads();
    Display* display = XOpenDisplay(nullptr);
    int eventBase, errorBase, major, minor;
    if (!display || !XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "FAIL: no X display with XTest\n");
        if (display) XCloseDisplay(display);
        return nullptr;
    }
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 600, 400, 0, 0, 0);
    XMapWindow(display, host);
    XSync(display, False);
    return display;
}

void closeHostWindow(Display* display, Window host) {
    XDestroyWindow(display, host);
    XCloseDisplay(display);
}

Window panelWindowIn(Display* display, Window host) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display, host, &root, &parent, &children, &count);
    const Window found = count == 1 ? children[0] : 0;
    if (children) XFree(children);
    return found;
}

std::vector<unsigned long> panelPixels(Display* display, Window window, const panel::PixelRect& r) {
    std::vector<unsigned long> out;
    XImage* image =
        XGetImage(display, window, r.left, r.top, unsigned(r.width()), unsigned(r.height()), AllPlanes, ZPixmap);
    if (!image) return out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) out.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return out;
}

const panel::KnobPlace& knobOf(int parameter) {
    for (const panel::KnobPlace& place : panel::kKnobs)
        if (place.parameter == parameter) return place;
    return panel::kKnobs[0];
}

panel::PixelRect knobRect(int parameter) {
    const panel::KnobPlace& k = knobOf(parameter);
    return {k.x, k.y, k.x + panel::kKnobSize, k.y + panel::kKnobSize};
}

void knobCentreOnRoot(Display* display, Window panel, int parameter, int& rootX, int& rootY) {
    const panel::KnobPlace& knob = knobOf(parameter);
    Window child;
    XTranslateCoordinates(display, panel, DefaultRootWindow(display), knob.x + panel::kKnobSize / 2,
                          knob.y + panel::kKnobSize / 2, &rootX, &rootY, &child);
}

void dragKnobUp(Display* display, Window panel, int parameter, int pixels,
                const std::function<void(int, const std::atomic<bool>*)>& run) {
    int rootX = 0, rootY = 0;
    knobCentreOnRoot(display, panel, parameter, rootX, rootY);
    std::atomic<bool> done{false};
    std::thread input(xtestAltDragUp, rootX, rootY, pixels, std::ref(done));
    run(10000, &done);
    input.join();
    run(200, nullptr);
}
