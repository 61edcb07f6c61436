// Where controls read the mouse: buttons and modifiers now, and the cursor in screen
// coordinates. Windows reads the physical key state; tests play back a script.
#pragma once

#include "gui/geometry.h"

class PointerInput {
public:
    virtual ~PointerInput() = default;
    virtual int buttons() = 0;  // kButton* and kMod* bits, logical buttons
    virtual Point screenLocation() = 0;
};

// The platform's own pointer.
PointerInput& systemPointer();

// Process-wide: true when the system swaps the physical left and right buttons.
// Read once when the window class is first registered.
void setSwappedButtons(bool swapped);
bool swappedButtons();
