// The artwork program's own picture of the panel at a scale, and the parts of the panel a
// drawn panel may show otherwise: the value texts, which another text engine renders, and
// the controls whose look a host's state decides (the meter, "Dry out", the gate LED).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "bitmap_file.h"
#include "editor/panel_layout.h"

artwork::Image artworkPicture(double scale);

std::vector<panel::PixelRect> valueTextAreas();
std::vector<panel::PixelRect> hostStateAreas();

// A length or a part of the panel in device pixels, rounded as the panel rounds.
int devicePixel(int units, double scale);
panel::PixelRect devicePixels(const panel::PixelRect& units, double scale);
bool inAnyArea(const std::vector<panel::PixelRect>& areas, int x, int y, double scale);

// How many pixels pixelAt (0x00RRGGBB) gives unlike the picture, outside the skipped areas.
int pixelsUnlike(const artwork::Image& picture, double scale, const std::vector<panel::PixelRect>& skipped,
                 const std::function<std::uint32_t(int, int)>& pixelAt);
