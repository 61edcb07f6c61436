// The VST 2.x face of the panel: registers with the effect, answers the host's editor
// requests (size, open, close, idle, keys, knob mode, wheel) and hands each to the panel,
// which it owns.
#pragma once

#include "host/editor_interface.h"

class EffectBase;
class PanelBase;

class EditorBase : public EditorInterface {
public:
    // Takes over the panel (null is refused by the effect's constructor, not here).
    EditorBase(EffectBase* effect, PanelBase* panel);

    // The order of these operations is part of the class's contract; append, never insert.
    ~EditorBase() override;
    VstInt32 getRect(ERect** rect) override;
    VstInt32 open(void* parent) override;
    void close() override;
    void idle() override;
    void update() override;
    void requestUpdate() override;
    VstInt32 keyDown(VstKeyCode& key) override;
    VstInt32 keyUp(VstKeyCode& key) override;
    VstInt32 setKnobMode(int mode) override;
    bool wheel(float distance) override;
    virtual void setParameter(VstInt32 index, float value);
    virtual void draw(ERect* rect);

    EffectBase* getEffect() const { return effect; }
    PanelBase* panel() const { return panel_; }

private:
    EffectBase* effect;
    PanelBase* panel_;
    ERect rect{0, 0, 0, 0};
};
