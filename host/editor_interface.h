// The effect's view of its editor: the requests the host can route to it. Every answer
// is inert so that an effect works with an editor that overrides only what it shows.
#pragma once

#include "host/aeffect.h"

class EditorInterface {
public:
    EditorInterface() = default;
    EditorInterface(const EditorInterface&) = delete;
    EditorInterface& operator=(const EditorInterface&) = delete;
    virtual ~EditorInterface() = default;

    // No size of its own: stores null (where the host gave a slot) and answers 0.
    virtual VstInt32 getRect(ERect** rect) {
        if (rect) *rect = nullptr;
        return 0;
    }
    virtual VstInt32 open(void* parent) {
        parentOnOpen = parent;
        return 0;
    }
    virtual void close() {}
    virtual void idle() {
        if (updatePending) {
            updatePending = false;
            update();
        }
    }
    virtual void update() {}
    virtual void requestUpdate() { updatePending = true; }
    virtual VstInt32 keyDown(VstKeyCode& key) { return (void)key, -1; }
    virtual VstInt32 keyUp(VstKeyCode& key) { return (void)key, -1; }
    virtual VstInt32 setKnobMode(int mode) { return (void)mode, 0; }
    virtual bool wheel(float distance) { return (void)distance, false; }

    // The window handed to the last open, null before it.
    void* lastParent() const { return parentOnOpen; }

private:
    void* parentOnOpen = nullptr;
    bool updatePending = false;
};
