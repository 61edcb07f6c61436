#include "gui/frame_window_win32.h"

#include <new>

#include "gui/draw_context.h"
#include "gui/drop_target_win32.h"
#include "gui/frame.h"
#include "gui/module_instance.h"
#include "gui/pointer_input.h"
#include "gui/surface_win32.h"
#include "gui/window_class_win32.h"

Win32FrameWindow::Win32FrameWindow(Frame* frame, HWND parent, const Rect& size) : frame_(frame) {
    registerFrameWindowClass();
    window_ =
        CreateWindowExA(0, frameWindowClassName(), "Window", WS_CHILD | WS_VISIBLE, 0, 0, size.right - size.left,
                        size.bottom - size.top, parent, nullptr, static_cast<HINSTANCE>(guiModuleInstance()), nullptr);
    if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
}

Win32FrameWindow::~Win32FrameWindow() {
    if (window_) {
        if (dropsRegistered_) RevokeDragDrop(window_);
        // Messages sent while the window goes find no frame.
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    unregisterFrameWindowClass();
}

void Win32FrameWindow::detachFrame() {
    frame_ = nullptr;
    if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
}

void Win32FrameWindow::resize(int width, int height) {
    if (window_) SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

DrawContext* Win32FrameWindow::createContext(Frame* frame) {
    if (!window_) return nullptr;
    HDC dc = GetDC(window_);
    if (!dc) return nullptr;
    auto* surface = new (std::nothrow) GdiSurface(dc);
    DrawContext* context = surface ? new (std::nothrow) DrawContext(frame, surface, this) : nullptr;
    if (!context) {
        delete surface;
        ReleaseDC(window_, dc);
    }
    return context;
}

void Win32FrameWindow::releaseContext(DrawContext* context) {
    if (!context) return;
    HDC dc = nullptr;
    if (auto* surface = static_cast<GdiSurface*>(context->surface())) dc = surface->dc();
    // The surface puts its pen, brush and font back before the context goes back.
    delete context;
    if (dc) ReleaseDC(window_, dc);
}

Point Win32FrameWindow::origin() {
    RECT r = {0, 0, 0, 0};
    if (window_) GetWindowRect(window_, &r);
    return Point(r.left, r.top);
}

PointerInput& Win32FrameWindow::pointer() { return systemPointer(); }

void Win32FrameWindow::setCursor(int type) {
    static const WORD kCursors[] = {0, 32514, 32644, 32645, 32646, 32643, 32642};
    if (!defaultCursor_) defaultCursor_ = GetCursor();
    if (type == kCursorDefault) {
        SetCursor(defaultCursor_);
    } else if (type > 0 && type < int(sizeof kCursors / sizeof kCursors[0])) {
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(kCursors[type])));
    }
}

bool Win32FrameWindow::setDropEnabled(bool enabled) {
    if (enabled == dropsRegistered_) return true;
    if (!window_) return false;
    if (enabled) {
        auto* target = new (std::nothrow) FrameDropTarget(window_);
        if (!target) return false;
        // The system holds the target; with no registration it is freed here.
        target->AddRef();
        HRESULT result = RegisterDragDrop(window_, target);
        target->Release();
        if (FAILED(result)) return false;
    } else {
        RevokeDragDrop(window_);
    }
    dropsRegistered_ = enabled;
    return true;
}

FrameWindow* createWin32FrameWindow(Frame* frame, void* parentWindow, const Rect& size) {
    return new (std::nothrow) Win32FrameWindow(frame, static_cast<HWND>(parentWindow), size);
}
