#include "gui/frame_window_x11.h"

// Xlib names its key code type as the toolkit names its key record; Xlib's is renamed here.
#define KeyCode XlibKeyCode
#include <X11/Xlib.h>
#include <X11/cursorfont.h>
#include <cairo-xlib.h>
#undef KeyCode
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/pointer_input.h"
#include "gui/surface_cairo.h"

namespace {

// One display connection for all frame windows of the process, open while any exists.
// Errors on it are ours to judge (a host may destroy its window before closing the
// editor): they are counted, not fatal. Errors on other connections go where they went.
struct Connection {
    Display* display = nullptr;
    int users = 0;
    XErrorHandler previous = nullptr;
    unsigned long errors = 0;
};
Connection connection;

int countOwnErrors(Display* display, XErrorEvent* error) {
    if (display == connection.display) {
        ++connection.errors;
        return 0;
    }
    return connection.previous ? connection.previous(display, error) : 0;
}

Display* acquireDisplay() {
    if (connection.users == 0) {
        Display* display = XOpenDisplay(nullptr);
        if (!display) return nullptr;
        connection.display = display;
        connection.previous = XSetErrorHandler(countOwnErrors);
    }
    ++connection.users;
    return connection.display;
}

void releaseDisplay() {
    if (connection.users <= 0 || --connection.users > 0) return;
    XSync(connection.display, False);
    // Put the previous handler back unless someone has replaced ours since.
    XErrorHandler current = XSetErrorHandler(connection.previous);
    if (current != countOwnErrors) XSetErrorHandler(current);
    XCloseDisplay(connection.display);
    connection.display = nullptr;
    connection.previous = nullptr;
}

// The pointer as the server sees it: logical buttons (the server applies any button
// mapping), Shift, Control and Alt, and the position on the root window.
class X11Pointer : public PointerInput {
public:
    X11Pointer(Display* display, Window window) : display_(display), window_(window) {}
    void windowGone() { window_ = DefaultRootWindow(display_); }

    int buttons() override {
        unsigned mask = query().mask;
        int result = 0;
        if (mask & Button1Mask) result |= kButtonLeft;
        if (mask & Button2Mask) result |= kButtonMiddle;
        if (mask & Button3Mask) result |= kButtonRight;
        if (mask & ShiftMask) result |= kModShift;
        if (mask & ControlMask) result |= kModControl;
        if (mask & Mod1Mask) result |= kModAlt;
        return result;
    }

    Point screenLocation() override {
        State state = query();
        return Point(state.rootX, state.rootY);
    }

private:
    struct State {
        int rootX = 0, rootY = 0;
        unsigned mask = 0;
    };
    State query() {
        State state;
        Window root = 0, child = 0;
        int windowX = 0, windowY = 0;
        XQueryPointer(display_, window_, &root, &child, &state.rootX, &state.rootY, &windowX, &windowY, &state.mask);
        return state;
    }

    Display* display_;
    Window window_;
};

class X11FrameWindow;
std::vector<X11FrameWindow*> liveWindows;

class X11FrameWindow : public FrameWindow {
public:
    X11FrameWindow(Frame* frame, Display* display, Window parent, const Rect& size);
    ~X11FrameWindow() override;
    bool valid() const { return window_ != 0 && image_ && windowSurface_; }

    DrawContext* createContext(Frame* frame) override;
    void releaseContext(DrawContext* context) override;
    Point origin() override;
    PointerInput& pointer() override { return pointer_; }
    void setCursor(int type) override;
    bool setDropEnabled(bool enabled) override;
    void detachFrame() override { frame_ = nullptr; }
    void* nativeHandle() override { return reinterpret_cast<void*>(std::uintptr_t(window_)); }
    void handlePendingEvents() override { handleEvents(false); }
    void resize(int width, int height) override;

    // Repaints what is damaged and, while a press holds a context open, shows what the
    // control has drawn so far.
    void paintPending() {
        handleEvents(true);
        if (openContexts_ > 0) show(Rect(0, 0, width_, height_));
    }

private:
    void handleEvents(bool paintsOnly);
    void paint(const Rect& damaged);
    void press(const XButtonEvent& event);
    void show(const Rect& area);

    Frame* frame_;
    Display* display_;
    Window window_ = 0;
    bool windowAlive_ = false;
    int width_;
    int height_;
    cairo_surface_t* image_ = nullptr;
    cairo_surface_t* windowSurface_ = nullptr;
    Cursor arrow_ = 0;
    Cursor shaped_ = 0;
    int openContexts_ = 0;
    bool tracking_ = false;
    X11Pointer pointer_;
};

X11FrameWindow::X11FrameWindow(Frame* frame, Display* display, Window parent, const Rect& size)
    : frame_(frame),
      display_(display),
      width_(std::max(1, size.width())),
      height_(std::max(1, size.height())),
      pointer_(display, DefaultRootWindow(display)) {
    // A parent that is not a window of this display gives the frame no window at all.
    const unsigned long errorsBefore = connection.errors;
    XWindowAttributes parentAttributes;
    if (!XGetWindowAttributes(display, parent, &parentAttributes) || connection.errors != errorsBefore) return;

    arrow_ = XCreateFontCursor(display, XC_left_ptr);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the panel covers every pixel; no flash of grey
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = ExposureMask | ButtonPressMask | StructureNotifyMask;
    attributes.cursor = arrow_;
    Window window =
        XCreateWindow(display, parent, 0, 0, unsigned(width_), unsigned(height_), 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWBackPixmap | CWBitGravity | CWEventMask | CWCursor, &attributes);
    XMapWindow(display, window);
    XWindowAttributes own;
    if (connection.errors != errorsBefore || !XGetWindowAttributes(display, window, &own) ||
        connection.errors != errorsBefore) {
        XDestroyWindow(display, window);
        XSync(display, False);
        return;
    }
    window_ = window;
    windowAlive_ = true;
    pointer_ = X11Pointer(display, window);

    image_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
    windowSurface_ = cairo_xlib_surface_create(display, window, own.visual, width_, height_);
    if (cairo_surface_status(image_) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_status(windowSurface_) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image_);
        cairo_surface_destroy(windowSurface_);
        image_ = windowSurface_ = nullptr;
        return;
    }
    liveWindows.push_back(this);
}

X11FrameWindow::~X11FrameWindow() {
    liveWindows.erase(std::remove(liveWindows.begin(), liveWindows.end(), this), liveWindows.end());
    if (windowSurface_) {
        cairo_surface_finish(windowSurface_);
        cairo_surface_destroy(windowSurface_);
    }
    if (image_) cairo_surface_destroy(image_);
    // The host may have destroyed its window, and ours with it, already.
    if (window_ && windowAlive_) XDestroyWindow(display_, window_);
    if (shaped_) XFreeCursor(display_, shaped_);
    if (arrow_) XFreeCursor(display_, arrow_);
    XFlush(display_);
    releaseDisplay();
}

void X11FrameWindow::resize(int width, int height) {
    // A press holds a context on the image; the next change of scale will do.
    if (!windowAlive_ || !image_ || openContexts_ > 0) return;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, width), std::max(1, height));
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(image);
        return;
    }
    cairo_surface_destroy(image_);
    image_ = image;
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    XResizeWindow(display_, window_, unsigned(width_), unsigned(height_));
    cairo_xlib_surface_set_size(windowSurface_, width_, height_);
}

DrawContext* X11FrameWindow::createContext(Frame* frame) {
    if (!valid() || !windowAlive_) return nullptr;
    auto* surface = new (std::nothrow) CairoSurface(image_, false);
    DrawContext* context = surface ? new (std::nothrow) DrawContext(frame, surface, this) : nullptr;
    if (!context) {
        delete surface;
        return nullptr;
    }
    ++openContexts_;
    return context;
}

void X11FrameWindow::releaseContext(DrawContext* context) {
    if (!context) return;
    delete context;
    --openContexts_;
    // The context may have drawn anywhere; the whole image is one cheap copy.
    show(Rect(0, 0, width_, height_));
}

Point X11FrameWindow::origin() {
    if (!windowAlive_) return Point();
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return Point(x, y);
}

void X11FrameWindow::setCursor(int type) {
    static const unsigned kShapes[] = {XC_left_ptr,           XC_watch, XC_sb_h_double_arrow,
                                       XC_sb_v_double_arrow,  XC_fleur, XC_bottom_left_corner,
                                       XC_bottom_right_corner};
    if (!windowAlive_ || type < 0 || type >= int(sizeof kShapes / sizeof kShapes[0])) return;
    Cursor previous = shaped_;
    shaped_ = type == kCursorDefault ? 0 : XCreateFontCursor(display_, kShapes[type]);
    XDefineCursor(display_, window_, shaped_ ? shaped_ : arrow_);
    if (previous) XFreeCursor(display_, previous);
    XFlush(display_);
}

bool X11FrameWindow::setDropEnabled(bool) { return false; }

void X11FrameWindow::handleEvents(bool paintsOnly) {
    Rect damaged;
    bool anyDamage = false;
    XEvent event;
    for (;;) {
        if (!windowAlive_) break;
        // During a press the queued presses wait for the control to finish its drag.
        long mask = ExposureMask | StructureNotifyMask;
        if (!paintsOnly && !tracking_) mask |= ButtonPressMask;
        if (!XCheckWindowEvent(display_, window_, mask, &event)) break;
        switch (event.type) {
        case Expose: {
            Rect area(event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                      event.xexpose.y + event.xexpose.height);
            if (!anyDamage) {
                damaged = area;
            } else {
                damaged = Rect(std::min(damaged.left, area.left), std::min(damaged.top, area.top),
                               std::max(damaged.right, area.right), std::max(damaged.bottom, area.bottom));
            }
            anyDamage = true;
            break;
        }
        case ButtonPress:
            if (anyDamage) paint(damaged);  // the press sees the panel as it is drawn
            anyDamage = false;
            press(event.xbutton);
            break;
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) {
                windowAlive_ = false;
                pointer_.windowGone();
                if (frame_) frame_->windowDestroyed();
            }
            break;
        default: break;  // map, configure and the like change nothing for a fixed panel
        }
    }
    if (anyDamage && windowAlive_) paint(damaged);
}

void X11FrameWindow::paint(const Rect& damaged) {
    if (!frame_) return;
    DrawContext* context = createContext(frame_);
    if (!context) return;
    frame_->drawInRect(context, damaged);
    delete context;
    --openContexts_;
    show(damaged);
}

void X11FrameWindow::press(const XButtonEvent& event) {
    // Buttons 4 to 7 are wheel turns; the host passes those on through the editor.
    if (!frame_ || event.button < Button1 || event.button > Button3) return;
    DrawContext* context = createContext(frame_);
    if (!context) return;
    Point where(event.x, event.y);
    tracking_ = true;
    frame_->mouseDown(context, where);
    tracking_ = false;
    releaseContext(context);
}

void X11FrameWindow::show(const Rect& area) {
    if (!valid() || !windowAlive_) return;
    cairo_surface_mark_dirty(image_);  // the surface writes pixels behind Cairo's back
    cairo_t* cr = cairo_create(windowSurface_);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image_, 0, 0);
    cairo_rectangle(cr, area.left, area.top, area.width(), area.height());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(windowSurface_);
    XFlush(display_);
}

}  // namespace

FrameWindow* createX11FrameWindow(Frame* frame, void* parentWindow, const Rect& size) {
    Window parent = Window(reinterpret_cast<std::uintptr_t>(parentWindow));
    if (!parent) return nullptr;
    Display* display = acquireDisplay();
    if (!display) return nullptr;
    auto* window = new (std::nothrow) X11FrameWindow(frame, display, parent, size);
    if (!window) {
        releaseDisplay();
        return nullptr;
    }
    if (!window->valid()) {
        delete window;
        return nullptr;
    }
    return window;
}

void dispatchPendingFramePaints() {
    // By index: a repaint does not open or close windows, but stay safe if it did.
    for (std::size_t i = 0; i < liveWindows.size(); ++i) liveWindows[i]->paintPending();
}

int x11FrameConnection() { return connection.display ? ConnectionNumber(connection.display) : -1; }

int x11FrameWindowCount() { return int(liveWindows.size()); }
