// The editor script's steps that play the same way on every platform: the mouse gestures,
// each state held long enough for a control's tracking loop to see it, and the requests the
// host sends to the plug-in while its editor is open.
#pragma once

#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/instance.h"

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

// Keys, host automation and program changes, sent on the editor's window thread as a host
// does; the automation as an edit at the panel would be. False for any other step.
template <class OnWindowThread, class Pause>
bool playHostRequest(Instance& instance, const EditorStep& step, OnWindowThread onWindowThread, Pause pause) {
    using Kind = EditorStep::Kind;
    switch (step.kind) {
    case Kind::Key:
        onWindowThread([&] {
            long down = 0, up = 0;
            if (instance.editorKey(static_cast<int>(step.index), 0, down, up))
                say("key: %ld down=%ld up=%ld\n", step.index, down, up);
            else
                say("key: %ld not offered\n", step.index);
        });
        break;
    case Kind::Automate:
        onWindowThread([&] { instance.editParameter(static_cast<int>(step.index), step.value); });
        break;
    case Kind::Program: onWindowThread([&] { instance.setProgram(static_cast<int>(step.index)); }); break;
    default: return false;
    }
    pause(150);
    return true;
}

}  // namespace vsthost
