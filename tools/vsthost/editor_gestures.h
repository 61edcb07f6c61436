// The mouse gestures of the editor script, played the same way on every platform: each
// state is held long enough for a control's tracking loop to see it.
#pragma once

#include "tools/vsthost/editor_script.h"

namespace vsthost {

// Input: moveTo(x, y), modifiers(bits, down), button(right, down). Pause: a sleep in ms.
template <class Input, class Pause>
void playClick(Input& input, const EditorStep& step, Pause pause) {
    const bool right = step.mods & kInputRight;
    // Move first: entering a window can make the window system resynchronise the modifier
    // keys with the physical keyboard.
    input.moveTo(step.x1, step.y1);
    pause(100);
    input.modifiers(step.mods, true);
    pause(50);
    input.button(right, true);
    pause(80);
    input.button(right, false);
    pause(30);
    input.modifiers(step.mods, false);
    pause(250);
}

template <class Input, class Pause>
void playDrag(Input& input, const EditorStep& step, Pause pause) {
    const bool right = step.mods & kInputRight;
    const int moves = 12;
    input.moveTo(step.x1, step.y1);
    pause(60);
    input.modifiers(step.mods, true);
    pause(30);
    input.button(right, true);
    pause(200);  // the control is in its tracking loop now
    for (int i = 1; i <= moves; ++i) {
        input.moveTo(step.x1 + (step.x2 - step.x1) * i / moves, step.y1 + (step.y2 - step.y1) * i / moves);
        pause(60);
    }
    pause(150);
    input.button(right, false);
    pause(30);
    input.modifiers(step.mods, false);
    pause(250);
}

}  // namespace vsthost
