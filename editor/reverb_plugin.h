// The effect the plug-in's entry builds: the reverb with its panel editor, which hears of
// every parameter change after the value is stored.
#pragma once

#include "effect/reverb_effect.h"

class ReverbPlugin : public ReverbEffect {
public:
    explicit ReverbPlugin(audioMasterCallback host);
    ~ReverbPlugin() override;

protected:
    void parameterChanged(VstInt32 index, float value) override;
};
