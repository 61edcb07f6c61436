// What the panel needs from the plug-in format that shows it: a parameter's stored value,
// the three steps of a user's edit, and the readings of the meter and the gate LED. Each
// format implements it over its own host; the panel knows no format.
#pragma once

class PanelHost {
public:
    // The parameter's stored normalised value.
    virtual float parameterValue(int index) = 0;

    // A user's gesture on the control of a parameter: begin, the values, end. The panel
    // learns of the stored value through its setParameter, from whoever stores it.
    virtual void beginEdit(int index) = 0;
    virtual void performEdit(int index, float value) = 0;
    virtual void endEdit(int index) = 0;

    // The output peak since the previous call, then 0; and the gate: 0 open, 1 hold, 2 release.
    virtual float takeMeterPeak() = 0;
    virtual int panelGateState() = 0;

    // While a control holds the window's thread in a drag, the host's own idle work.
    virtual void idleWhileDragging() {}

protected:
    ~PanelHost() = default;
};
