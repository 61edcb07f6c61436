// A mouse drag through XTest, for the tests of a panel in a host window: press at a point,
// move up in ten steps with Alt held (the knobs' linear mode), release. It runs on a display
// connection of its own, meant for a thread beside the host's loop, since the panel tracks
// the drag inside a call that loop makes; `done` is set when it is over.
#pragma once

#include <atomic>

void xtestAltDragUp(int rootX, int rootY, int pixelsUp, std::atomic<bool>& done);
// A plain left click at a point, on a connection of its own in the same way.
void xtestClick(int rootX, int rootY, std::atomic<bool>& done);
