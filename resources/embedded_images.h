// The panel's bitmaps as compiled into the binary, for platforms without a resource
// section. Windows builds carry the same images as resources with the same ids.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedImage {
    int id;
    int width;
    int height;
    const std::uint32_t* pixels;  // width * height words, rows top-down, 0x00RRGGBB
};

// The image with the given resource id, or null when there is none.
const EmbeddedImage* findEmbeddedImage(int id);

// The panel's larger sets (150 and 200 %), kept as PNG files since they would otherwise
// take several megabytes; the toolkit decodes one when a panel first draws at its scale.
struct EmbeddedScaledImage {
    int id;
    int percent;
    std::size_t size;
    const unsigned char* png;
};

// The image with the given resource id in the set for percent, or null when there is none.
const EmbeddedScaledImage* findEmbeddedScaledImage(int id, int percent);
