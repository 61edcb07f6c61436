// Native raster surface: an RGB image whose pixels the raster surface writes directly;
// Cairo and fontconfig render the text.
#pragma once

#include <cairo.h>

#include "gui/surface_raster.h"

class CairoSurface : public RasterSurface {
public:
    // With owns set, the image is destroyed with the surface.
    CairoSurface(cairo_surface_t* image, bool owns);
    ~CairoSurface() override;

    void drawText(const char* text, const Rect& r, bool opaque, unsigned format) override;

    cairo_surface_t* image() const { return image_; }

private:
    cairo_surface_t* image_;
    bool owns_;
};
