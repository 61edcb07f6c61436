#include "tools/vsthost/host_window.h"

#include <windows.h>

namespace vsthost {

struct HostWindow::Native {
    HWND window = nullptr;
};

HostWindow::HostWindow() : native(new Native) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HallmereHostWindow";
    RegisterClassA(&windowClass);
    native->window = CreateWindowExA(0, windowClass.lpszClassName, "vsthost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                     480, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
}

HostWindow::~HostWindow() {
    if (native->window) DestroyWindow(native->window);
    delete native;
}

void* HostWindow::parent() const { return native->window; }

void HostWindow::pump() {
    MSG message;
    while (native->window && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

}  // namespace vsthost
