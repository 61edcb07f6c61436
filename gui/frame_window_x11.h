// The frame's child window under X11: a fixed-size window inside the host's window, on a
// display connection of our own. The host runs the event loop of its own windows only, so
// ours are served from the editor's idle calls and, while a control tracks a drag, from
// the idle pump. Drawing goes into an image the size of the window, which is copied to the
// window after each paint or redraw.
#pragma once

#include "gui/frame_window.h"

// The factory for frames natively; null when there is no display or the parent is not a
// window of it.
FrameWindow* createX11FrameWindow(Frame* frame, void* parentWindow, const Rect& size);

// Repaints every frame window that has damage waiting; presses stay queued. For the idle
// pump, which runs inside a control's drag.
void dispatchPendingFramePaints();

// The file descriptor of the frame windows' display connection, for a host's run loop to
// watch; -1 while no frame window is open.
int x11FrameConnection();

// Frame windows alive in this process.
int x11FrameWindowCount();
