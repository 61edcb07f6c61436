// On Windows the host's message loop already delivers the panel window's messages; the idle
// comes from a timer of that window, whose messages the same loop dispatches.
#include <windows.h>

#include <new>

#include "plugin/vst3/hallmere_vst3_view.h"
#include "plugin/vst3/view_pump.h"

namespace vst3 {

namespace {

class WindowTimerPump final : public ViewPump {
public:
    WindowTimerPump(HallmereView& view, HWND window) : view_(view), window_(window) {}
    bool start() { return SetTimer(window_, id(), kViewIdleMillis, fire) != 0; }
    ~WindowTimerPump() override { KillTimer(window_, id()); }

private:
    // The timer's id is the pump itself, which the callback gets back.
    UINT_PTR id() const { return reinterpret_cast<UINT_PTR>(this); }
    static void CALLBACK fire(HWND, UINT, UINT_PTR id, DWORD) { reinterpret_cast<WindowTimerPump*>(id)->view_.idle(); }

    HallmereView& view_;
    HWND window_;
};

}  // namespace

ViewPump* startViewPump(HallmereView& view, IPlugFrame*, void* panelWindow) {
    if (panelWindow == nullptr) return nullptr;
    auto* pump = new (std::nothrow) WindowTimerPump(view, static_cast<HWND>(panelWindow));
    if (pump != nullptr && !pump->start()) {
        delete pump;
        return nullptr;
    }
    return pump;
}

}  // namespace vst3
