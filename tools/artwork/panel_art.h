// The panel: brushed metal, the dark output window and everything printed on them.
#pragma once

#include "bitmap_file.h"
#include "canvas.h"

namespace artwork {

// Colour of the unprinted panel at a panel pixel: metal, window and their edges.
Rgb panelSurface(int x, int y);

// Repaints the panel, print included, under the whole canvas. Every image that is drawn
// opaque over the panel starts from this so that its surroundings match to the pixel.
void paintPanel(Canvas& canvas);

Image renderPanel();  // 1024

}  // namespace artwork
