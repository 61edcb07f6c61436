// The effect the plug-in's entry builds: the reverb with its panel, which hears of every
// parameter change after the value is stored. It is the panel's host in VST 2.x: edits
// become automated changes with the host's begin and end edit around them, and the meter
// reads the peak that the host's level query also takes.
#pragma once

#include "editor/panel_host.h"
#include "effect/reverb_effect.h"

class EditorBase;
class ReverbEditor;

class ReverbPlugin : public ReverbEffect, public PanelHost {
public:
    explicit ReverbPlugin(audioMasterCallback host);
    ~ReverbPlugin() override;

    // The panel, whose window the record's editor opens and closes.
    ReverbEditor* panel() const { return panel_; }

    float parameterValue(int index) override { return getParameter(index); }
    void beginEdit(int index) override { hostBeginEdit(index); }
    void performEdit(int index, float value) override { setParameterAutomated(index, value); }
    void endEdit(int index) override { hostEndEdit(index); }
    float takeMeterPeak() override { return getVu(); }
    int panelGateState() override { return gateState(); }
    void idleWhileDragging() override { hostIdle(); }

protected:
    void parameterChanged(VstInt32 index, float value) override;

private:
    // The record's editor, typed: told of every change, from whatever thread, with no cast.
    EditorBase* shell = nullptr;
    ReverbEditor* panel_ = nullptr;
};
