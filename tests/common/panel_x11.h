// Looking at an embedded panel from its test host under X11: the panel's window inside the
// host's, the pixels of a part of it, and where a knob sits.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <functional>
#include <vector>

#include "editor/panel_layout.h"

// The display, with XTest, and a 600 x 400 window on it mapped for the panel; null, with the
// reason on stderr, when either is missing.
Display* openHostWindow(Window& host);
void closeHostWindow(Display* display, Window host);

// The one child of the host's window; 0 when there is none or more than one.
Window panelWindowIn(Display* display, Window host);
// Empty when the window cannot be read.
std::vector<unsigned long> panelPixels(Display* display, Window window, const panel::PixelRect& r);

const panel::KnobPlace& knobOf(int parameter);
panel::PixelRect knobRect(int parameter);
// The knob's centre on the root window, for XTest.
void knobCentreOnRoot(Display* display, Window panel, int parameter, int& rootX, int& rootY);

// Drags the parameter's knob up by `pixels` with Alt held, while the host's loop runs as
// run(millis, &done) until the drag is over, then for 200 ms more.
void dragKnobUp(Display* display, Window panel, int parameter, int pixels,
                const std::function<void(int, const std::atomic<bool>*)>& run);
