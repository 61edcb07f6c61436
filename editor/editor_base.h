// The host-facing half of the editor: registers itself with the effect, answers the host's
// editor requests, holds the frame while the window is open and runs the throttled idle
// pump that controls call while they track the mouse.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/frame_owner.h"
#include "host/editor_interface.h"

class EffectBase;
class Frame;

class EditorBase : public EditorInterface, public FrameOwner {
public:
    explicit EditorBase(EffectBase* effect);

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
    void idlePump() override;

    // The frame's edit brackets, passed to the host through the effect.
    void beginEdit(int index) override;
    void endEdit(int index) override;

    EffectBase* getEffect() const { return effect; }
    Frame* getFrame() const { return frame; }
    void* getParentWindow() const { return parentWindow; }
    bool isUpdateRequested() const { return updateRequested.load() != 0; }
    bool insideHostIdle() const { return inHostIdle; }

protected:
    EffectBase* effect;
    void* parentWindow = nullptr;
    // Atomic: parameter changes may request an update from the audio thread.
    std::atomic<std::int32_t> updateRequested{0};
    ERect rect{0, 0, 0, 0};
    Frame* frame = nullptr;
    std::uint32_t nextIdleTicks = 0;
    bool inHostIdle = false;
};
