#include "gui/window_class_win32.h"

#include <cstdint>
#include <cstdio>
#include <new>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/module_instance.h"
#include "gui/pointer_input.h"
#include "gui/surface_win32.h"

namespace {

char className[32] = "";
int classUseCount = 0;

HINSTANCE moduleOf() { return static_cast<HINSTANCE>(guiModuleInstance()); }

// The frame is stored as a full pointer: on 64-bit Windows the 32-bit window-long calls
// would cut it in half.
Frame* frameOf(HWND window) { return reinterpret_cast<Frame*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

DrawContext* contextOn(Frame* frame, HDC dc) {
    auto* surface = new (std::nothrow) GdiSurface(dc);
    if (!surface) return nullptr;
    auto* context = new (std::nothrow) DrawContext(frame, surface, frame->window());
    if (!context) delete surface;
    return context;
}

LRESULT paint(HWND window, Frame* frame) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (DrawContext* context = contextOn(frame, dc)) {
        frame->drawInRect(context, Rect(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom));
        delete context;
    }
    EndPaint(window, &ps);
    return 0;
}

LRESULT press(HWND window, Frame* frame, LPARAM lParam) {
    HDC dc = GetDC(window);
    if (DrawContext* context = contextOn(frame, dc)) {
        // Client coordinates as unsigned 16-bit halves.
        auto bits = static_cast<std::uint32_t>(lParam);
        Point where(static_cast<std::int32_t>(bits & 0xFFFF), static_cast<std::int32_t>((bits >> 16) & 0xFFFF));
        frame->mouseDown(context, where);
        delete context;
    }
    ReleaseDC(window, dc);
    return 0;
}

}  // namespace

const char* frameWindowClassName() {
    if (!className[0]) {
        std::snprintf(className, sizeof className, "Plugin%08x",
                      static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(moduleOf())));
    }
    return className;
}

void registerFrameWindowClass() {
    if (classUseCount++ == 0) {
        WNDCLASSA wc = {};
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = frameWindowProc;
        wc.hInstance = moduleOf();
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = frameWindowClassName();
        RegisterClassA(&wc);
    }
    setSwappedButtons(GetSystemMetrics(SM_SWAPBUTTON) > 0);
}

void unregisterFrameWindowClass() {
    if (classUseCount > 0 && --classUseCount == 0) UnregisterClassA(frameWindowClassName(), moduleOf());
}

int frameWindowClassUseCount() { return classUseCount; }

LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Frame* frame = frameOf(window);
    switch (message) {
    case WM_DESTROY:
        if (frame) frame->windowDestroyed();
        break;
    case WM_PAINT: {
        RECT damaged;
        if (frame && GetUpdateRect(window, &damaged, FALSE)) return paint(window, frame);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (frame) return press(window, frame, lParam);
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
