#include "gui/view.h"

#include "gui/frame.h"

View::View(const Rect& size) : size_(size), mouseArea_(size) {}

View::~View() = default;

void View::draw(DrawContext*) { setDirty(false); }

void View::drawInRect(DrawContext* context, const Rect&) { draw(context); }

bool View::intersects(const Rect& r) {
    return r.right >= size_.left && r.left <= size_.right && r.bottom >= size_.top && r.top <= size_.bottom;
}

void View::mouseDown(DrawContext*, Point&) {}

void View::redrawIfDirty(DrawContext* context) {
    if (isDirty()) {
        draw(context);
        setDirty(false);
    }
}

int View::notifyHook(void*, void*) { return 0; }
int View::keyDown(KeyCode*) { return -1; }
int View::keyUp(KeyCode*) { return -1; }
bool View::acceptDrop(void**, int, int, Point) { return false; }
bool View::wheel(DrawContext*, const Point&, float) { return false; }
void View::focusLost(DrawContext*) {}
void View::focusGained(DrawContext*) {}
bool View::isDirty() { return dirty_; }
void View::setDirty(bool flag) { dirty_ = flag; }
void View::setMouseEnabled(bool flag) { mouseEnabled_ = flag; }
bool View::isMouseEnabled() { return mouseEnabled_; }
void View::setMouseArea(const Rect& rect) { mouseArea_ = rect; }

Rect& View::getMouseArea(Rect& rect) {
    rect = mouseArea_;
    return rect;
}

bool View::hitTest(const Point& where, int) { return size_.contains(where); }
void View::setTransparent(bool flag) { transparent_ = flag; }
bool View::isTransparent() { return transparent_; }

void View::setBounds(const Rect& rect) {
    size_ = rect;
    setDirty(true);
}

Rect& View::getBounds(Rect& rect) {
    rect = size_;
    return rect;
}

void View::setParentView(View* parent) { parentView_ = parent; }
void View::setFrame(Frame* frame) { frame_ = frame; }
FrameOwner* View::getEditor() { return frame_ ? frame_->getEditor() : nullptr; }
bool View::detached(View*) { return true; }
bool View::attached(View*) { return true; }

void View::release() {
    if (refCount_ <= 0) return;
    if (--refCount_ == 0) delete this;
}

void View::retain() { ++refCount_; }
int View::retainCount() { return refCount_; }

void View::redraw() {
    if (frame_) frame_->drawView(this);
}
