// Looking at an embedded panel from its test host under X11: the panel's window inside the
// host's, the pixels of a part of it, where a knob sits, and the panel against the artwork
// program's picture. Points and parts are in panel units; `scale` is the panel's.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <functional>
#include <vector>

#include "editor/panel_layout.h"

// The scales each format's panel test opens the panel at, and its size there.
struct PanelScale {
    double factor;
    int width, height;
};
constexpr PanelScale kPanelScales[] = {{1.0, 448, 251}, {1.5, 672, 377}, {2.0, 896, 502}};

// The display, with XTest, and a 1000 x 600 window on it mapped for the panel; null, with the
// reason on stderr, when either is missing.
Display* openHostWindow(Window& host);
void closeHostWindow(Display* display, Window host);

// The one child of the host's window; 0 when there is none or more than one.
Window panelWindowIn(Display* display, Window host);
// Empty when the window cannot be read.
std::vector<unsigned long> panelPixels(Display* display, Window window, const panel::PixelRect& r, double scale = 1.0);
// The window's width and height; 0 x 0 when it cannot be read.
void windowSize(Display* display, Window window, int& width, int& height);
// Pixels of the panel unlike the artwork program's picture at the scale, outside the value
// texts and the parts a host's state decides; -1 when the window cannot be read whole.
int pixelsUnlikeTheArtwork(Display* display, Window panel, double scale);

const panel::KnobPlace& knobOf(int parameter);
panel::PixelRect knobRect(int parameter);
// The knob's centre on the root window, for XTest.
void knobCentreOnRoot(Display* display, Window panel, int parameter, int& rootX, int& rootY, double scale = 1.0);

// Drags the parameter's knob up by `units` with Alt held, while the host's loop runs as
// run(millis, &done) until the drag is over, then for 200 ms more.
using HostLoopRun = std::function<void(int, const std::atomic<bool>*)>;
void dragKnobUp(Display* display, Window panel, int parameter, int units, const HostLoopRun& run, double scale = 1.0);
// A click in the middle of a part of the panel, the host's loop running as for a drag.
void clickPanel(Display* display, Window panel, const panel::PixelRect& part, const HostLoopRun& run,
                double scale = 1.0);
