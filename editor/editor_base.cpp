#include "editor/editor_base.h"

#include "editor/editor_platform.h"
#include "gui/frame.h"
#include "host/extended_effect_base.h"

namespace {

// After a full pass the pump only sleeps until 46 ms have gone by: the pass sets the next
// pass 100 ms ahead, an early call sleeps 4 ms and gives up while more than 50 ms remain.
constexpr std::uint32_t kEarlySleepMs = 4;
constexpr std::uint32_t kPassSpacingMs = 100;
constexpr std::uint32_t kEarlySlackMs = 50;

KeyCode toKeyCode(const VstKeyCode& key) { return KeyCode{key.character, key.virt, key.modifier}; }

}  // namespace

EditorBase::EditorBase(EffectBase* effect) : effect(effect) {
    if (effect) {
        effect->editor = this;
        effect->record.flags |= effFlagsHasEditor;
    }
    parentWindow = nullptr;
    nextIdleTicks = editorPlatform().tickCount();
    editorPlatform().startOle();
}

EditorBase::~EditorBase() {
    editorPlatform().stopOle();
    // A derived constructor that throws leaves the effect pointing here; it must not delete
    // this editor a second time.
    if (effect && effect->editor == this) effect->editor = nullptr;
}

VstInt32 EditorBase::getRect(ERect** where) {
    if (!where) return 0;
    *where = &rect;
    return 1;
}

VstInt32 EditorBase::open(void* parent) {
    requestUpdate();
    EditorInterface::open(parent);  // keeps lastParent() truthful
    parentWindow = parent;
    return 0;
}

void EditorBase::close() {}

void EditorBase::idle() {
    if (inHostIdle) return;  // a host calling back into the editor from its idle callback
    if (updateRequested.exchange(0) != 0) update();
    if (frame) frame->updateDirtyViews();
}

void EditorBase::update() {}

void EditorBase::requestUpdate() { updateRequested = 1; }

VstInt32 EditorBase::keyDown(VstKeyCode& key) {
    if (!frame) return -1;
    KeyCode code = toKeyCode(key);
    return frame->keyDown(&code);
}

VstInt32 EditorBase::keyUp(VstKeyCode& key) {
    if (!frame) return -1;
    KeyCode code = toKeyCode(key);
    return frame->keyUp(&code);
}

VstInt32 EditorBase::setKnobMode(int mode) {
    ::setKnobMode(mode);
    return 1;
}

bool EditorBase::wheel(float distance) {
    if (!frame) return false;
    return frame->wheel(nullptr, Point(0, 0), distance);
}

void EditorBase::setParameter(VstInt32 index, float value) {
    (void)index, (void)value;
    requestUpdate();
}

void EditorBase::draw(ERect* area) {
    (void)area;  // always the whole panel
    if (frame) frame->drawView(nullptr);
}

void EditorBase::idlePump() {
    const EditorPlatform& platform = editorPlatform();
    std::uint32_t now = platform.tickCount();
    if (now < nextIdleTicks) {
        platform.sleep(kEarlySleepMs);
        now += kEarlySleepMs;
        if (now < nextIdleTicks - kEarlySlackMs) return;
    }
    idle();
    platform.dispatchPendingPaint();
    nextIdleTicks = now + kPassSpacingMs;

    // Restored rather than cleared: a host that pumps messages inside its idle callback
    // can bring a second drag, and its pump must not end the outer guard early.
    bool wasInHostIdle = inHostIdle;
    inHostIdle = true;
    if (effect) effect->hostIdle();
    inHostIdle = wasInHostIdle;
}

void EditorBase::beginEdit(int index) {
    if (auto* host = dynamic_cast<ExtendedEffectBase*>(effect)) host->hostBeginEdit(index);
}

void EditorBase::endEdit(int index) {
    if (auto* host = dynamic_cast<ExtendedEffectBase*>(effect)) host->hostEndEdit(index);
}
