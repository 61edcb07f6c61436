// Where native builds find bitmap images: the compiled-in image table. The plug-in installs
// findEmbeddedImage (resources/) once at start-up; until then every load fails (size 0 x 0).
// Keeping it settable lets the toolkit link and be tested without the real images.
#pragma once

#include "resources/embedded_images.h"

using EmbeddedImageLookup = const EmbeddedImage* (*)(int id);
void setEmbeddedImageLookup(EmbeddedImageLookup lookup);
EmbeddedImageLookup embeddedImageLookup();

// The larger sets, installed the same way; without it a panel at a scale draws the 100 %
// images resampled.
using EmbeddedScaledImageLookup = const EmbeddedScaledImage* (*)(int id, int percent);
void setEmbeddedScaledImageLookup(EmbeddedScaledImageLookup lookup);
EmbeddedScaledImageLookup embeddedScaledImageLookup();
