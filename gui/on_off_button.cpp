#include "gui/on_off_button.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"

OnOffButton::OnOffButton(const Rect& size, ControlListener* listener, int tag, Bitmap* background)
    : Control(size, listener, tag, background) {}

OnOffButton::~OnOffButton() = default;

void OnOffButton::draw(DrawContext* context) {
    Point offset;
    if (value != 0.0f && background) offset.v = background->getHeight() / 2;
    drawBackground(context, size_, offset);
    setDirty(false);
}

void OnOffButton::mouseDown(DrawContext* context, Point&) {
    if (!isMouseEnabled() || !context || !(context->mouseButtons() & kButtonLeft)) return;
    value = int(value) != 0 ? 0.0f : 1.0f;
    serviceIdle();
    // Every click is reported, changed or not; a click is not a drag, so no edit brackets.
    if (listener) listener->controlChanged(context, this);
}
