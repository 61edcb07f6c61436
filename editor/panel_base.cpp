#include "editor/panel_base.h"

#include <algorithm>
#include <cmath>

#include "editor/editor_platform.h"
#include "editor/panel_host.h"
#include "gui/frame.h"

namespace {

// After a full pass the pump only sleeps until 46 ms have gone by: the pass sets the next
// pass 100 ms ahead, an early call sleeps 4 ms and gives up while more than 50 ms remain.
constexpr std::uint32_t kEarlySleepMs = 4;
constexpr std::uint32_t kPassSpacingMs = 100;
constexpr std::uint32_t kEarlySlackMs = 50;

}  // namespace

PanelBase::PanelBase(PanelHost& host) : host_(host) {
    nextIdleTicks = editorPlatform().tickCount();
    editorPlatform().startOle();
}

PanelBase::~PanelBase() { editorPlatform().stopOle(); }

bool PanelBase::open(void* parent) {
    requestUpdate();
    parentWindow = parent;
    return false;
}

void PanelBase::idle() {
    if (inHostIdle) return;  // a host calling back into the panel from its idle callback
    if (updateRequested.exchange(0) != 0) update();
    if (frame) frame->updateDirtyViews();
}

void PanelBase::setParameter(int index, float value) {
    (void)index, (void)value;
    requestUpdate();
}

int PanelBase::keyDown(KeyCode& key) { return frame ? frame->keyDown(&key) : -1; }

int PanelBase::keyUp(KeyCode& key) { return frame ? frame->keyUp(&key) : -1; }

bool PanelBase::wheel(float distance) { return frame && frame->wheel(nullptr, Point(0, 0), distance); }

void PanelBase::redraw() {
    if (frame) frame->drawView(nullptr);
}

double PanelBase::acceptedScale(double requested) {
    if (!std::isfinite(requested) || !(requested > 0)) return 0.0;
    return std::clamp(requested, kMinScale, kMaxScale);
}

bool PanelBase::setScale(double requested) {
    const double scale = acceptedScale(requested);
    if (scale == 0.0) return false;
    scale_ = scale;
    if (!frame || frame->scale() == scale) return true;
    frame->setScale(scale);
    redraw();
    return true;
}

Rect PanelBase::scaledSize() const {
    return Rect(toDevicePixel(size_.left, scale_), toDevicePixel(size_.top, scale_), toDevicePixel(size_.right, scale_),
                toDevicePixel(size_.bottom, scale_));
}

void PanelBase::beginEdit(int index) { host_.beginEdit(index); }

void PanelBase::endEdit(int index) { host_.endEdit(index); }

void PanelBase::idlePump() {
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
    host_.idleWhileDragging();
    inHostIdle = wasInHostIdle;
}
