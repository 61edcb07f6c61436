#include "editor/editor_base.h"

#include "editor/panel_base.h"
#include "gui/frame_owner.h"
#include "host/effect_base.h"

namespace {

KeyCode toKeyCode(const VstKeyCode& key) { return KeyCode{key.character, key.virt, key.modifier}; }

}  // namespace

EditorBase::EditorBase(EffectBase* effect, PanelBase* panel) : effect(effect), panel_(panel) {
    if (effect) {
        effect->editor = this;
        effect->record.flags |= effFlagsHasEditor;
    }
}

EditorBase::~EditorBase() {
    // A derived constructor that throws leaves the effect pointing here; it must not delete
    // this editor a second time.
    if (effect && effect->editor == this) effect->editor = nullptr;
    delete panel_;
}

VstInt32 EditorBase::getRect(ERect** where) {
    if (!where) return 0;
    const Rect& size = panel_->size();
    rect = ERect{static_cast<std::int16_t>(size.top), static_cast<std::int16_t>(size.left),
                 static_cast<std::int16_t>(size.bottom), static_cast<std::int16_t>(size.right)};
    *where = &rect;
    return 1;
}

VstInt32 EditorBase::open(void* parent) {
    EditorInterface::open(parent);  // keeps lastParent() truthful
    return panel_->open(parent) ? 1 : 0;
}

void EditorBase::close() { panel_->close(); }

void EditorBase::idle() { panel_->idle(); }

void EditorBase::update() { panel_->update(); }

void EditorBase::requestUpdate() { panel_->requestUpdate(); }

VstInt32 EditorBase::keyDown(VstKeyCode& key) {
    KeyCode code = toKeyCode(key);
    return panel_->keyDown(code);
}

VstInt32 EditorBase::keyUp(VstKeyCode& key) {
    KeyCode code = toKeyCode(key);
    return panel_->keyUp(code);
}

VstInt32 EditorBase::setKnobMode(int mode) {
    ::setKnobMode(mode);
    return 1;
}

bool EditorBase::wheel(float distance) { return panel_->wheel(distance); }

void EditorBase::setParameter(VstInt32 index, float value) { panel_->setParameter(index, value); }

void EditorBase::draw(ERect* area) {
    (void)area;  // always the whole panel
    panel_->redraw();
}
