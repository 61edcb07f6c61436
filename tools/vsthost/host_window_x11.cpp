#include "tools/vsthost/host_window.h"
#include "tools/vsthost/window_loop.h"

#include <X11/Xlib.h>

namespace vsthost {

struct HostWindow::Native {
    Display* display = nullptr;
    Window window = 0;
};

HostWindow::HostWindow() : native(new Native) {
    native->display = XOpenDisplay(nullptr);
    if (!native->display) return;
    native->window = XCreateSimpleWindow(native->display, DefaultRootWindow(native->display), 0, 0, 480, 300, 0, 0, 0);
    XMapWindow(native->display, native->window);
    XFlush(native->display);
}

HostWindow::~HostWindow() {
    if (native->display) XCloseDisplay(native->display);
    delete native;
}

void* HostWindow::parent() const { return native->display ? reinterpret_cast<void*>(native->window) : nullptr; }

void HostWindow::pump() {
    while (native->display && XPending(native->display) > 0) {
        XEvent event;
        XNextEvent(native->display, &event);
    }
    runWindowLoop();
}

}  // namespace vsthost
