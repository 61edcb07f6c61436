// The seam between a Frame and the platform window that shows it. The frame works
// without one (it then keeps its views but draws nothing); a window layer (Win32 child
// window, X11, or a test double) implements this and calls back into the frame:
//   paint          -> frame.drawInRect(context, damagedRect)
//   button press   -> frame.mouseDown(context, where)    (where in window device pixels)
//   window gone    -> frame.windowDestroyed()
//   drop           -> frame.acceptDrop(items, count, kind, frame.mouseLocation)
#pragma once

#include "gui/geometry.h"

class DrawContext;
class Frame;
class PointerInput;

class FrameWindow {
public:
    // Destroying the window object destroys the platform window. The frame has already
    // detached itself, so messages sent during destruction find no frame.
    virtual ~FrameWindow() = default;

    // A context on the window's surface (GetDC + DrawContext), or null when none can be
    // made. Every context made here goes back through releaseContext.
    virtual DrawContext* createContext(Frame* frame) = 0;
    virtual void releaseContext(DrawContext* context) = 0;

    // The window's top-left corner on the screen, read now.
    virtual Point origin() = 0;
    virtual PointerInput& pointer() = 0;
    virtual void setCursor(int type) = 0;
    // Registers or revokes the window as a drop target; false when it cannot.
    virtual bool setDropEnabled(bool enabled) = 0;
    // Called once by the frame as it starts its destruction.
    virtual void detachFrame() = 0;
    // Platform handle (HWND on Windows), or null.
    virtual void* nativeHandle() = 0;
    // Handles what the window system has queued for the window, where nobody else
    // dispatches it (under X11 the host runs the loop of its own windows only). The frame
    // calls it at every idle.
    virtual void handlePendingEvents() {}
    // The frame's scale changed: the window takes its new size in device pixels.
    virtual void resize(int width, int height) { (void)width, (void)height; }
};

// How a Frame constructed with a parent window gets its window: the platform window layer
// installs a factory (once, before the first frame). Without one, frames have no window.
using FrameWindowFactory = FrameWindow* (*)(Frame* frame, void* parentWindow, const Rect& size);
void setFrameWindowFactory(FrameWindowFactory factory);
FrameWindowFactory frameWindowFactory();
