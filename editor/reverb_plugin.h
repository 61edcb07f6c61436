// The effect the plug-in's entry builds: the reverb with its panel editor, which hears of
// every parameter change after the value is stored.
#pragma once

#include "effect/reverb_effect.h"

#include "editor/editor_base.h"

class ReverbPlugin : public ReverbEffect {
public:
    explicit ReverbPlugin(audioMasterCallback host);
    ~ReverbPlugin() override;

    // The gate's state the panel shows. A plug-in whose panel is away from its engine (an
    // LV2 UI, told the state by its host) answers from what it was told.
    virtual int panelGateState() const { return gateState(); }

protected:
    void parameterChanged(VstInt32 index, float value) override;

private:
    // The panel built with the plug-in (the record's editor, typed): told of every change,
    // from whatever thread, with no cast on the way.
    EditorBase* panel = nullptr;
};
