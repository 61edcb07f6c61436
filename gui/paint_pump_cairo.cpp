#include "gui/paint_pump.h"

// Without a platform window there are no queued repaints: views draw on their idle calls.
bool dispatchPendingPaint() { return false; }
