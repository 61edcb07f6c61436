// Platform hooks used inside the toolkit; each platform file set defines them
// (platform_win32.cpp, platform_cairo.cpp).
#pragma once

#include "gui/geometry.h"

class DrawContext;
class DrawSurface;
class Frame;

// Per-frame platform resources (COM, the colour-keyed blit library). Opaque handle.
void* startFramePlatform();
void stopFramePlatform(void* handle);

// A memory surface of the given size, in the format of the frame's window.
DrawSurface* createOffscreenSurface(Frame* frame, int width, int height);
// One opaque blit of w x h pixels from (sx, sy) of the source to (x, y) of the target.
void copySurface(DrawSurface& target, int x, int y, int w, int h, DrawSurface& source, int sx, int sy);

// Bitmap images: loaded by resource id (low 16 bits), freed, and copied.
void* loadBitmapImage(int resourceId, int& width, int& height);
void freeBitmapImage(void* image);
void drawBitmapImage(void* image, DrawContext& context, const Rect& r, Point offset, bool keyed, Color key);
// The image of the larger set for percent (150, 200), or null when the binary has none.
void* loadScaledBitmapImage(int resourceId, int percent, int& width, int& height);
// Fills device rectangle r of the context's surface from the image, whose pixel (sx, sy)
// lands on r's top-left corner and which is drawn factor times as large: a plain copy at
// 1, resampled smoothly otherwise.
void drawBitmapImageScaled(void* image, DrawContext& context, const Rect& r, double sx, double sy, double factor,
                           bool keyed, Color key);
