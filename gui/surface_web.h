// The browser's raster surface: rows in the module's own memory, whose pixels the raster
// surface writes exactly as natively; the page's canvas renders the text, which is then
// laid into the rows by the same placement rules.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gui/surface_raster.h"

// Rows a surface keeps for itself; a base so that they exist before the raster surface over them.
struct OwnedRows {
    explicit OwnedRows(std::size_t words) : words(words) {}
    std::vector<std::uint32_t> words;
};

class WebSurface : private OwnedRows, public RasterSurface {
public:
    // Over rows someone else keeps (a window's image).
    WebSurface(std::uint32_t* rows, int width, int height);
    // Over rows of its own, all black, for an offscreen.
    WebSurface(int width, int height);

    void drawText(const char* text, const Rect& r, bool opaque, unsigned format) override;
};
