// The panel's bitmaps as compiled into the binary, for platforms without a resource
// section. Windows builds carry the same images as bitmap resources with the same ids.
#pragma once

#include <cstdint>

struct EmbeddedImage {
    int id;
    int width;
    int height;
    const std::uint32_t* pixels;  // width * height words, rows top-down, 0x00RRGGBB
};

// The image with the given resource id, or null when there is none.
const EmbeddedImage* findEmbeddedImage(int id);
