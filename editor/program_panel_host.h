// A host for pictures and measurements of the panel: every control shows the first factory
// program, the meter and the gate LED rest, and edits go nowhere.
#pragma once

#include "editor/panel_host.h"
#include "effect/reverb_program.h"

class ProgramPanelHost : public PanelHost {
public:
    float parameterValue(int index) override { return factoryPrograms[0].values[index]; }
    void beginEdit(int) override {}
    void performEdit(int, float) override {}
    void endEdit(int) override {}
    float takeMeterPeak() override { return 0.0f; }
    int panelGateState() override { return 0; }
};
