// What a Frame needs from the editor that owns it. The editor base implements this.
#pragma once

class FrameOwner {
public:
    // Bracket a user's drag of the control with this tag (the host's begin/end edit).
    virtual void beginEdit(int index) = 0;
    virtual void endEdit(int index) = 0;
    // Throttled idle work while a control tracks the mouse: redraw, repaint, host idle.
    virtual void idlePump() = 0;

protected:
    ~FrameOwner() = default;
};

// Process-wide knob mode, set from the host's knob-mode request; 2 selects linear dragging.
void setKnobMode(int mode);
int currentKnobMode();
