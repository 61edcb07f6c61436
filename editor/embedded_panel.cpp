#include "editor/embedded_panel.h"

#include "gui/frame.h"
#include "gui/frame_window.h"

bool EmbeddedPanel::open(void* parent) {
    if (parent == nullptr || isOpen()) return false;
    // Read before the panel reads them: a change in between differs at the first idle.
    for (int index = 0; index < kParameterCount; ++index) shown_[index] = parameterValue(index);
    return panel_.open(parent);
}

void* EmbeddedPanel::panelWindow() const {
    FrameWindow* window = panel_.getFrame() ? panel_.getFrame()->window() : nullptr;
    return window ? window->nativeHandle() : nullptr;
}

void EmbeddedPanel::showStored(int index) {
    shown_[index] = parameterValue(index);
    panel_.setParameter(index, shown_[index]);
}

void EmbeddedPanel::idle() {
    for (int index = 0; index < kParameterCount; ++index) {
        const float value = parameterValue(index);
        if (value == shown_[index]) continue;
        shown_[index] = value;
        panel_.setParameter(index, value);
    }
    panel_.idle();
}
