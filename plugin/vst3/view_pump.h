// Runs an open view's idle about thirty times a second on the host's user-interface thread,
// and, where the window system needs it, the events of the panel's window: under X11 through
// the run loop the host offers on the view's IPlugFrame, on Windows through a timer of the
// panel's own window. Stopped by deleting it; never a thread of its own.
#pragma once

#include "plugin/vst3/vst3_view.h"

namespace vst3 {

class HallmereView;

class ViewPump {
public:
    virtual ~ViewPump() = default;
};

constexpr unsigned kViewIdleMillis = 33;

// Null when the platform cannot pump for this frame and window (under X11: no run loop).
ViewPump* startViewPump(HallmereView& view, IPlugFrame* frame, void* panelWindow);

}  // namespace vst3
