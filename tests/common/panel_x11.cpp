#include "common/panel_x11.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdint>
#include <cstdio>
#include <thread>

#include "common/artwork_picture.h"
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
    host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 600, 0, 0, 0);
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

std::vector<unsigned long> panelPixels(Display* display, Window window, const panel::PixelRect& part, double scale) {
    const panel::PixelRect r = devicePixels(part, scale);
    std::vector<unsigned long> out;
    XImage* image =
        XGetImage(display, window, r.left, r.top, unsigned(r.width()), unsigned(r.height()), AllPlanes, ZPixmap);
    if (!image) return out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) out.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    return out;
}

void windowSize(Display* display, Window window, int& width, int& height) {
    XWindowAttributes attributes{};
    const bool known = XGetWindowAttributes(display, window, &attributes) != 0;
    width = known ? attributes.width : 0;
    height = known ? attributes.height : 0;
}

int pixelsUnlikeTheArtwork(Display* display, Window panel, double scale) {
    const artwork::Image picture = artworkPicture(scale);
    int width = 0, height = 0;
    windowSize(display, panel, width, height);
    if (width != picture.width || height != picture.height) return -1;
    XImage* image = XGetImage(display, panel, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return -1;
    const int n = pixelsUnlike(picture, scale, hostStateAreas(),
                               [image](int x, int y) { return std::uint32_t(XGetPixel(image, x, y)); });
    XDestroyImage(image);
    return n;
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

namespace {

void centreOnRoot(Display* display, Window panel, const panel::PixelRect& part, double scale, int& rootX, int& rootY) {
    const panel::PixelRect d = devicePixels(part, scale);
    Window child;
    XTranslateCoordinates(display, panel, DefaultRootWindow(display), (d.left + d.right) / 2, (d.top + d.bottom) / 2,
                          &rootX, &rootY, &child);
}

template <class Input, class... Args>
void withInputThread(const HostLoopRun& run, Input input, Args... args) {
    std::atomic<bool> done{false};
    std::thread thread(input, args..., std::ref(done));
    run(10000, &done);
    thread.join();
    run(200, nullptr);
}

}  // namespace

void knobCentreOnRoot(Display* display, Window panel, int parameter, int& rootX, int& rootY, double scale) {
    centreOnRoot(display, panel, knobRect(parameter), scale, rootX, rootY);
}

// The same distance in panel units at every scale: the knob moves by the same amount.
void dragKnobUp(Display* display, Window panel, int parameter, int units, const HostLoopRun& run, double scale) {
    int rootX = 0, rootY = 0;
    knobCentreOnRoot(display, panel, parameter, rootX, rootY, scale);
    withInputThread(run, xtestAltDragUp, rootX, rootY, devicePixel(units, scale));
}

void clickPanel(Display* display, Window panel, const panel::PixelRect& part, const HostLoopRun& run, double scale) {
    int rootX = 0, rootY = 0;
    centreOnRoot(display, panel, part, scale, rootX, rootY);
    withInputThread(run, xtestClick, rootX, rootY);
}
