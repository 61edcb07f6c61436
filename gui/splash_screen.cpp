#include "gui/splash_screen.h"

#include "gui/draw_context.h"
#include "gui/frame.h"

SplashScreen::SplashScreen(const Rect& size, ControlListener* listener, int tag, Bitmap* picture,
                           const Rect& displayRect, const Point& offset)
    : Control(size, listener, tag, picture), displayRect(displayRect), bitmapOffset(offset) {}

SplashScreen::~SplashScreen() = default;

bool SplashScreen::hitTest(const Point& where, int buttons) { return size_.contains(where) && (buttons & kButtonLeft); }

void SplashScreen::draw(DrawContext* context) {
    if (value != 0.0f) drawBackground(context, displayRect, bitmapOffset);
    setDirty(false);
}

void SplashScreen::mouseDown(DrawContext* context, Point&) {
    if (!isMouseEnabled() || !context || !(context->mouseButtons() & kButtonLeft)) return;
    value = value == 0.0f ? 1.0f : 0.0f;
    if (value == 1.0f) {
        if (!frame_ || !frame_->setModalView(this)) {
            setDirty(true);
            return;
        }
        savedBounds = size_;
        size_ = displayRect;
        draw(context);
    } else {
        size_ = savedBounds;
        if (frame_) {
            frame_->setModalView(nullptr);
            frame_->draw(context);
        }
    }
    if (listener) listener->controlChanged(context, this);
    setDirty(true);
}

void SplashScreen::closeSplash() {
    setDirty(true);
    // Only a shown splash has bounds to give back; a hidden one keeps its clickable area.
    if (value != 0.0f) size_ = savedBounds;
    value = 0.0f;
    if (frame_ && frame_->getModalView() == this) {
        frame_->setModalView(nullptr);
        frame_->drawView(nullptr);
    }
}
