#include "gui/frame.h"

#include <cmath>
#include <new>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame_owner.h"
#include "gui/frame_window.h"
#include "gui/platform.h"
#include "gui/pointer_input.h"

namespace {
constexpr int kGrowBy = 20;
int knobModeSetting = 0;
FrameWindowFactory windowFactory = nullptr;
}  // namespace

void setKnobMode(int mode) { knobModeSetting = mode; }
int currentKnobMode() { return knobModeSetting; }
void setFrameWindowFactory(FrameWindowFactory factory) { windowFactory = factory; }
FrameWindowFactory frameWindowFactory() { return windowFactory; }

Frame::Frame(const Rect& size, void* parentWindow, FrameOwner* editor, double scale)
    : View(size), editor_(editor), parentWindow_(parentWindow), scale_(scale > 0 ? scale : 1.0) {
    platform_ = startFramePlatform();
    if (parentWindow && windowFactory) {
        setWindow(windowFactory(this, parentWindow, Rect(0, 0, deviceWidth(), deviceHeight())));
        setDropEnabled(true);
    }
}

Frame::~Frame() {
    setCursor(kCursorDefault);
    setDropEnabled(false);
    removeAll(true);
    if (background_) background_->release();
    background_ = nullptr;
    stopFramePlatform(platform_);
    if (window_) {
        window_->detachFrame();
        delete window_;
        window_ = nullptr;
    }
}

void Frame::setWindow(FrameWindow* window) {
    if (window_ == window) return;
    if (window_) {
        window_->detachFrame();
        delete window_;
    }
    window_ = window;
}

void Frame::windowDestroyed() {
    windowOpen_ = false;
    parentWindow_ = nullptr;
}

FrameOwner* Frame::getEditor() { return editor_; }

int Frame::deviceWidth() const { return toDevicePixel(size_.width(), scale_); }
int Frame::deviceHeight() const { return toDevicePixel(size_.height(), scale_); }

void Frame::setScale(double scale) {
    if (scale <= 0 || scale == scale_) return;
    scale_ = scale;
    if (window_) window_->resize(deviceWidth(), deviceHeight());
    setDirty(true);
}

Point Frame::toUnits(Point device) const {
    if (scale_ == 1.0) return device;
    return Point(int(std::floor(device.h / scale_)), int(std::floor(device.v / scale_)));
}

// Outward, so that a damaged device pixel repaints every unit it touches.
Rect Frame::toUnits(const Rect& device) const {
    if (scale_ == 1.0) return device;
    return Rect(int(std::floor(device.left / scale_)), int(std::floor(device.top / scale_)),
                int(std::ceil(device.right / scale_)), int(std::ceil(device.bottom / scale_)));
}

DrawContext* Frame::makeContext() { return window_ ? window_->createContext(this) : nullptr; }

void Frame::dropContext(DrawContext* context) {
    if (context && window_) window_->releaseContext(context);
}

// ---- drawing ----

void Frame::draw(DrawContext* context) {
    firstDraw_ = false;
    if (background_) background_->draw(context, Rect(0, 0, background_->getWidth(), background_->getHeight()));
    for (int i = 0; i < count_; ++i) views_[i]->draw(context);
    if (modalView_) modalView_->draw(context);
}

void Frame::drawInRect(DrawContext* context, const Rect& damaged) {
    firstDraw_ = false;
    const Rect updateRect = toUnits(damaged);
    // Only the damaged part of the background, in place.
    if (background_) background_->draw(context, updateRect, Point(updateRect.left, updateRect.top));
    for (int i = 0; i < count_; ++i)
        if (views_[i]->intersects(updateRect)) views_[i]->drawInRect(context, updateRect);
    if (modalView_ && modalView_->intersects(updateRect)) modalView_->draw(context);
}

void Frame::redrawIfDirty(DrawContext* context) {
    if (!windowOpen_) return;
    if (modalView_) {
        modalView_->redrawIfDirty(context);
        return;
    }
    if (dirty_) {
        draw(context);
        dirty_ = false;
        return;
    }
    for (int i = 0; i < count_; ++i) views_[i]->redrawIfDirty(context);
}

void Frame::updateDirtyViews() {
    if (window_) window_->handlePendingEvents();
    if (!windowOpen_ || firstDraw_ || !hasDirtyView()) return;
    DrawContext* context = makeContext();
    if (!context) return;
    redrawIfDirty(context);
    dropContext(context);
}

void Frame::drawView(View* view) {
    bool listed = view && isChild(view);
    DrawContext* context = makeContext();
    if (!context) return;
    if (listed) {
        view->draw(context);
    } else {
        draw(context);
    }
    dropContext(context);
}

bool Frame::hasDirtyView() {
    if (modalView_ || dirty_) return true;
    for (int i = 0; i < count_; ++i)
        if (views_[i]->isDirty()) return true;
    return false;
}

// ---- the list ----

bool Frame::addView(View* view) {
    if (!view) return false;
    if (count_ >= capacity_) {
        View** grown = new (std::nothrow) View*[capacity_ + kGrowBy];
        if (!grown) return false;
        for (int i = 0; i < count_; ++i) grown[i] = views_[i];
        delete[] views_;
        views_ = grown;
        capacity_ += kGrowBy;
    }
    views_[count_++] = view;
    view->setFrame(this);
    view->attached(this);
    return true;
}

// A view leaving the list must not stay behind as focus or, once freed, as modal view.
void Frame::forget(View* view) {
    if (focusView_ == view) focusView_ = nullptr;
}

bool Frame::removeView(View* view, bool withRelease) {
    for (int i = 0; i < count_; ++i) {
        if (views_[i] != view) continue;
        forget(view);
        view->detached(this);
        if (withRelease) {
            if (modalView_ == view && view->retainCount() <= 1) modalView_ = nullptr;
            view->release();
        }
        for (int j = i; j + 1 < count_; ++j) views_[j] = views_[j + 1];
        --count_;
        break;
    }
    return true;
}

bool Frame::removeAll(bool withRelease) {
    if (focusView_) {
        View* had = focusView_;
        focusView_ = nullptr;
        had->focusLost(nullptr);
    }
    for (int i = 0; i < count_; ++i) {
        View* view = views_[i];
        view->detached(this);
        if (withRelease) {
            if (modalView_ == view && view->retainCount() <= 1) modalView_ = nullptr;
            view->release();
        }
    }
    delete[] views_;
    views_ = nullptr;
    count_ = 0;
    capacity_ = 0;
    return true;
}

bool Frame::isChild(View* view) {
    for (int i = 0; i < count_; ++i)
        if (views_[i] == view) return true;
    return false;
}

int Frame::viewCount() { return count_; }

View* Frame::viewAt(int index) {
    if (index < 0 || index >= count_) return nullptr;
    return views_[index];
}

void Frame::setBackground(Bitmap* bitmap) {
    if (bitmap) bitmap->retain();  // first, so that passing the same bitmap keeps it alive
    if (background_) background_->release();
    background_ = bitmap;
}

bool Frame::setModalView(View* view) {
    if (view && modalView_) return false;
    if (modalView_) modalView_->detached(this);
    modalView_ = view;
    if (view) view->attached(this);
    return true;
}

void Frame::setFocusView(View* view) {
    View* previous = focusView_;
    focusView_ = view;
    if (previous) previous->focusLost(nullptr);
}

// ---- events ----

void Frame::mouseDown(DrawContext* context, Point& pressed) {
    Point where = toUnits(pressed);
    if (focusView_) {
        View* had = focusView_;
        focusView_ = nullptr;
        had->focusLost(nullptr);
    }
    int buttons = context ? context->mouseButtons() : 0;
    if (modalView_) {
        if (modalView_->hitTest(where, buttons)) modalView_->mouseDown(context, where);
        return;
    }
    for (int i = count_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->isMouseEnabled() && view->hitTest(where, buttons)) {
            view->mouseDown(context, where);
            return;
        }
    }
}

int Frame::keyDown(KeyCode* key) {
    int result;
    if (focusView_ && (result = focusView_->keyDown(key)) != -1) return result;
    if (modalView_ && (result = modalView_->keyDown(key)) != -1) return result;
    for (int i = count_ - 1; i >= 0; --i)
        if ((result = views_[i]->keyDown(key)) != -1) return result;
    return -1;
}

int Frame::keyUp(KeyCode* key) {
    int result;
    if (focusView_ && (result = focusView_->keyUp(key)) != -1) return result;
    if (modalView_ && (result = modalView_->keyUp(key)) != -1) return result;
    for (int i = count_ - 1; i >= 0; --i)
        if ((result = views_[i]->keyUp(key)) != -1) return result;
    return -1;
}

bool Frame::acceptDrop(void** items, int count, int kind, Point where) {
    if (modalView_ || focusView_) return false;
    for (int i = count_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->isMouseEnabled() && view->bounds().contains(where) && view->acceptDrop(items, count, kind, where))
            return true;
    }
    return false;
}

View* Frame::viewUnderMouse() {
    if (modalView_) return modalView_;
    Point where;
    mouseLocation(where);
    for (int i = count_ - 1; i >= 0; --i)
        if (views_[i]->bounds().contains(where)) return views_[i];
    return nullptr;
}

bool Frame::wheel(DrawContext* context, const Point&, float distance) {
    View* view = viewUnderMouse();
    if (!view) return false;
    DrawContext* made = nullptr;
    if (!context) {
        // Without a window the context cannot draw, but it still reads the pointer.
        made = window_ ? makeContext() : new DrawContext(this, nullptr, nullptr);
        if (!made) return false;
        context = made;
    }
    Point position;
    mouseLocation(position);
    bool result = view->wheel(context, position, distance);
    if (made) {
        if (window_) {
            dropContext(made);
        } else {
            delete made;
        }
    }
    return result;
}

// ---- requests of the controls ----

void Frame::beginEdit(int index) {
    if (editor_) editor_->beginEdit(index);
}

void Frame::endEdit(int index) {
    if (editor_) editor_->endEdit(index);
}

void Frame::doIdle() {
    if (editor_) editor_->idlePump();
}

int Frame::knobMode() const { return knobModeSetting; }

void Frame::setCursor(int type) {
    if (window_) window_->setCursor(type);
}

bool Frame::setDropEnabled(bool enabled) {
    if (enabled == dropsRegistered_) return true;
    if (!window_) return false;
    window_->setDropEnabled(enabled);
    dropsRegistered_ = enabled;
    return true;
}

bool Frame::mouseLocation(Point& where) {
    PointerInput& pointer = window_ ? window_->pointer() : systemPointer();
    where = pointer.screenLocation();
    if (window_) {
        Point origin = window_->origin();
        where = toUnits(Point(where.h - origin.h, where.v - origin.v));
    }
    return true;
}
