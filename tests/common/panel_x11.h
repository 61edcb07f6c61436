// Looking at an embedded panel from its test host under X11: the panel's window inside the
// host's, the pixels of a part of it, and where a knob sits.
#pragma once

#include <X11/Xlib.h>

#include <vector>

#include "editor/panel_layout.h"

// The one child of the host's window; 0 when there is none or more than one.
Window panelWindowIn(Display* display, Window host);
// Empty when the window cannot be read.
std::vector<unsigned long> panelPixels(Display* display, Window window, const panel::PixelRect& r);

const panel::KnobPlace& knobOf(int parameter);
panel::PixelRect knobRect(int parameter);
// The knob's centre on the root window, for XTest.
void knobCentreOnRoot(Display* display, Window panel, int parameter, int& rootX, int& rootY);
