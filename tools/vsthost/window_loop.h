// The window thread's run loop for what plug-ins register with the host itself (the timers
// and descriptors of a VST 3 view under X11). The tool's window loops run one round of it,
// without waiting, each time they have handled their own window events.
#pragma once

namespace vsthost {

void runWindowLoop();

}  // namespace vsthost
