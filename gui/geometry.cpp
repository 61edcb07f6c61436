#include "gui/geometry.h"

const Color kColorTransparent = {255, 255, 255, 0};
const Color kColorBlack = {0, 0, 0, 0};
const Color kColorWhite = {255, 255, 255, 0};
const Color kColorGrey = {127, 127, 127, 0};
const Color kColorRed = {255, 0, 0, 0};
const Color kColorGreen = {0, 255, 0, 0};
const Color kColorBlue = {0, 0, 255, 0};
const Color kColorYellow = {255, 255, 0, 0};
const Color kColorMagenta = {255, 0, 255, 0};
const Color kColorCyan = {0, 255, 255, 0};

const FontInfo kFontTable[kFontCount] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};
