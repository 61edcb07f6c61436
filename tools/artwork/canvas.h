// A Cairo drawing surface for one bitmap, placed at a position of the panel so that every
// image that overlays the panel can repaint exactly the panel pixels beneath it.
#pragma once

#include <cairo.h>

#include <functional>
#include <string>

#include "artwork_layout.h"
#include "bitmap_file.h"

namespace artwork {

enum class Align { Left, Centre, Right };

struct Font {
    double size;
    bool bold;
};

// Every canvas made while a scale is set draws at it: sizes and the origin are still given
// in panel pixels, the image has scale times as many pixels each way. 1 by default.
void setArtworkScale(double scale);
double artworkScale();
// The image pixel where a panel coordinate lands at the current scale (halves round up),
// the rule the editor's toolkit places bitmaps by.
int scaledPixel(int panelCoordinate);

// Compressed files for the larger sets, opaque RGB.
bool writePng(const std::string& path, const Image& image);
bool readPng(const std::string& path, Image& image);

class Canvas {
public:
    // originX, originY: the panel pixel that lands on the canvas' top-left pixel. The
    // Cairo context is translated (and scaled) so that drawing uses panel coordinates.
    Canvas(int width, int height, int originX = 0, int originY = 0);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return context; }
    int originX() const { return left; }
    int originY() const { return top; }

    // Sets every pixel from a function of its panel position (opaque); at a scale each
    // image pixel takes the colour of the panel pixel it lies in.
    void fillPixels(const std::function<Rgb(int x, int y)>& colourAt);

    // The finished picture for an image drawn opaque: pure white, the colour key, is
    // nudged to the nearest grey so that it can never punch a hole.
    Image opaqueImage();

    // For an image drawn colour-keyed: pixels less than half covered become the key
    // (pure white); the others are blended over matte, the colour expected beneath.
    Image keyedImage(Rgb matte);

private:
    cairo_surface_t* surface;
    cairo_t* context;
    int width, height, left, top;
};

void setColour(cairo_t* cr, Rgb colour, double alpha = 1.0);
Rgb mix(Rgb a, Rgb b, double t);  // t = 0 gives a, 1 gives b
Rgb shade(Rgb colour, int delta);

// Solid rectangle on whole pixels.
void fillRect(cairo_t* cr, int x, int y, int w, int h, Rgb colour, double alpha = 1.0);

// Text with hinted outlines at a whole-pixel baseline; x is the left edge, centre or right
// edge according to align. Returns the advance width.
double drawText(cairo_t* cr, const char* text, Font font, double x, int baseline, Align align, Rgb colour);
double textWidth(cairo_t* cr, const char* text, Font font);

// Text cut into the surface: the ink with a one-pixel light edge below it.
void engravedText(cairo_t* cr, const char* text, Font font, double x, int baseline, Align align, Rgb ink = kEngraveInk,
                  Rgb light = kEngraveLight);

// Digits of a 3 x 5 pixel font, for scales too small for outline text.
void pixelDigits(cairo_t* cr, const char* digits, int x, int y, Rgb colour);

}  // namespace artwork
