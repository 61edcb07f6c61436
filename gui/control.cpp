#include "gui/control.h"

#include <cstring>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"

Control::Control(const Rect& size, ControlListener* listener, int tag, Bitmap* background)
    : View(size), listener(listener), tag(tag), background(background) {
    if (background) background->retain();
    setMouseEnabled(true);
    setTransparent(false);
}

Control::~Control() {
    if (background) background->release();
}

bool Control::isDirty() { return lastDrawnValue != value || dirty_; }

void Control::setDirty(bool flag) {
    dirty_ = flag;
    if (!flag) {
        lastDrawnValue = value;
        return;
    }
    // Any value other than the current one will do; pick one that cannot equal it.
    float minusOne = -1.0f;
    lastDrawnValue = std::memcmp(&value, &minusOne, sizeof value) == 0 ? 0.0f : -1.0f;
}

void Control::serviceIdle() {
    if (frame_) frame_->doIdle();
}

void Control::setValue(float v) { value = v; }
float Control::getValue() const { return value; }
void Control::setMinimum(float v) { minimum = v; }
float Control::getMinimum() const { return minimum; }
void Control::setMaximum(float v) { maximum = v; }
float Control::getMaximum() const { return maximum; }
void Control::setLastDrawnValue(float v) { lastDrawnValue = v; }
float Control::getLastDrawnValue() const { return lastDrawnValue; }
void Control::setDefaultValue(float v) { defaultValue = v; }
float Control::getDefaultValue() const { return defaultValue; }
void Control::setTag(int v) { tag = v; }

void Control::setBackground(Bitmap* bitmap) {
    if (bitmap) bitmap->retain();  // first, so that the same bitmap stays alive
    if (background) background->release();
    background = bitmap;
}

Bitmap* Control::getBackground() const { return background; }
void Control::setBackgroundOffset(const Point& offset) { backgroundOffset = offset; }
void Control::alignBackgroundOffset() { backgroundOffset = Point(size_.left, size_.top); }
void Control::setStepIncrement(float v) { stepIncrement = v; }
float Control::getStepIncrement() const { return stepIncrement; }

void Control::clampValue() {
    if (value > maximum) {
        value = maximum;
    } else if (value < minimum) {
        value = minimum;
    }
}

void Control::drawBackground(DrawContext* context, const Rect& where, Point offset) {
    if (!background) return;
    if (isTransparent()) {
        background->drawTransparent(context, where, offset);
    } else {
        background->draw(context, where, offset);
    }
}

void Control::reportIfDirty(DrawContext* context) {
    if (isDirty() && listener) listener->controlChanged(context, this);
}

int Control::stepByKey(KeyCode* key) {
    if (!key) return -1;
    float direction;
    switch (key->virt) {
    case kArrowLeft:
    case kArrowDown: direction = -1.0f; break;
    case kArrowUp:
    case kArrowRight: direction = 1.0f; break;
    default: return -1;
    }
    float step = direction * stepIncrement;
    if (key->modifier & kKeyModShift) step *= 0.1f;  // fine steps
    value += step;
    clampValue();
    reportIfDirty(nullptr);
    return 1;
}

bool Control::stepByWheel(DrawContext* context, float distance) {
    if (!isMouseEnabled()) return false;
    float step = distance * stepIncrement;
    if (context && (context->mouseButtons() & kModShift)) step *= 0.1f;
    value += step;
    clampValue();
    reportIfDirty(context);
    return true;
}
