#include "gui/pointer_input.h"

namespace {
bool buttonsSwapped = false;
}

void setSwappedButtons(bool swapped) { buttonsSwapped = swapped; }
bool swappedButtons() { return buttonsSwapped; }
