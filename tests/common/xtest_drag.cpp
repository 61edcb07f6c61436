#include "common/xtest_drag.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

void xtestAltDragUp(int rootX, int rootY, int pixelsUp, std::atomic<bool>& done) {
    Display* display = XOpenDisplay(nullptr);
    const unsigned alt = XKeysymToKeycode(display, XK_Alt_L);
    auto flush = [&](int millis) {
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(millis));
    };
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    flush(150);
    XTestFakeKeyEvent(display, alt, True, 0);
    flush(50);
    XTestFakeButtonEvent(display, 1, True, 0);
    flush(250);
    for (int i = 1; i <= 10; ++i) {
        XTestFakeMotionEvent(display, -1, rootX, rootY - pixelsUp * i / 10, 0);
        flush(50);
    }
    flush(150);
    XTestFakeButtonEvent(display, 1, False, 0);
    flush(50);
    XTestFakeKeyEvent(display, alt, False, 0);
    flush(300);
    XCloseDisplay(display);
    done = true;
}

void xtestClick(int rootX, int rootY, std::atomic<bool>& done) {
    Display* display = XOpenDisplay(nullptr);
    auto flush = [&](int millis) {
        XFlush(display);
        std::this_thread::sleep_for(std::chrono::milliseconds(millis));
    };
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    flush(150);
    XTestFakeButtonEvent(display, 1, True, 0);
    flush(100);
    XTestFakeButtonEvent(display, 1, False, 0);
    flush(200);
    XCloseDisplay(display);
    done = true;
}
