#include <windows.h>

#include <new>

#include "editor/panel_pump.h"

namespace {

class WindowTimerPump final : public PanelPump {
public:
    WindowTimerPump(PanelIdle& idle, HWND window) : idle_(idle), window_(window) {}
    bool start() { return SetTimer(window_, id(), kPanelIdleMillis, fire) != 0; }
    ~WindowTimerPump() override { KillTimer(window_, id()); }

private:
    // The timer's id is the pump itself, which the callback gets back.
    UINT_PTR id() const { return reinterpret_cast<UINT_PTR>(this); }
    static void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) { reinterpret_cast<WindowTimerPump*>(id)->idle_.idle(); }

    PanelIdle& idle_;
    HWND window_;
};

}  // namespace

PanelPump* startWindowTimerPump(PanelIdle& idle, void* panelWindow) {
    if (panelWindow == nullptr) return nullptr;
    auto* pump = new (std::nothrow) WindowTimerPump(idle, static_cast<HWND>(panelWindow));
    if (pump != nullptr && !pump->start()) {
        delete pump;
        return nullptr;
    }
    return pump;
}
