// Under X11 the view's panel is served by the run loop the host offers on the view's
// IPlugFrame: a timer for the idle, and the display connection's descriptor so that presses
// and exposures are handled when they arrive. (On Windows a timer of the panel's window.)
#pragma once

#include "editor/panel_pump.h"
#include "plugin/vst3/vst3_view.h"

namespace vst3 {

// Null when the frame offers no run loop or the loop refuses the timer.
PanelPump* startRunLoopPump(PanelIdle& idle, IPlugFrame* frame);

}  // namespace vst3
