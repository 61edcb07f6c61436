// A colour-keyed image drawn at another size on GDI: StretchBlt can only pick pixels for a
// keyed copy (its smoothing mode would blend the key into its neighbours), so this filters
// by hand.
#pragma once

#include <windows.h>

#include "gui/geometry.h"

// Fills device rectangle r of the target from the image, whose pixel (sx, sy) lands on r's
// top-left corner and which is drawn factor times as large. Each device pixel averages the
// image pixels under it (at least one pixel's width, so that enlarging interpolates rather
// than repeats); those of the key colour let the target show through. The image must not
// be selected into a device context.
void drawKeyedScaled(HDC target, const Rect& r, HBITMAP image, double sx, double sy, double factor, COLORREF key);
