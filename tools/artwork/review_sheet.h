// A picture of the panel as the editor shows it, every control image placed at its
// position with sample values, for judging the artwork by eye.
#pragma once

#include <map>

#include "bitmap_file.h"

namespace artwork {

// Every bitmap by resource id, at the current scale.
std::map<int, Image> renderBitmaps();

// At the current scale, from bitmaps of that scale.
Image composeReview(const std::map<int, Image>& bitmaps);

}  // namespace artwork
