#include "gui/slider.h"

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/offscreen_context.h"

Slider::Slider(const Rect& size, ControlListener* listener, int tag, int handleStart, int handleEnd, Bitmap* handle,
               Bitmap* track, const Point& offset, int style)
    : Control(size, listener, tag, track), bitmapOffset(offset), handle(handle), style(style) {
    if (handle) {
        handle->retain();
        handleWidth = handle->getWidth();
        handleHeight = handle->getHeight();
    }
    controlWidth = size.width();
    controlHeight = size.height();
    trackStart = horizontal() ? handleStart - size.left : handleStart - size.top;
    handleRange = handleEnd - handleStart;
    setHandleOffset(Point(0, 0));
    zoomFactor = 10.0f;
}

Slider::~Slider() {
    delete offscreen;
    if (handle) handle->release();
}

bool Slider::attached(View*) {
    delete offscreen;
    offscreen = new OffscreenContext(frame_, controlWidth, controlHeight, kColorBlack, Point(size_.left, size_.top));
    return true;
}

bool Slider::detached(View*) {
    delete offscreen;
    offscreen = nullptr;
    return true;
}

void Slider::setDrawHandleTransparent(bool flag) { drawHandleTransparent = flag; }
void Slider::setFreeClick(bool flag) { freeClick = flag; }
bool Slider::getFreeClick() const { return freeClick; }

void Slider::setHandleOffset(const Point& offset) {
    handleOffset = offset;
    if (horizontal()) {
        handleMin = offset.h + trackStart;
        handleMax = handleMin + handleRange + handleWidth;
    } else {
        handleMin = trackStart + offset.v;
        handleMax = handleMin + handleRange + handleHeight;
    }
}

void Slider::setHandle(Bitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (handle) handle->release();
    handle = bitmap;
    if (handle) {
        handleWidth = handle->getWidth();
        handleHeight = handle->getHeight();
    }
}

Bitmap* Slider::getHandle() const { return handle; }
void Slider::setZoomFactor(float factor) { zoomFactor = factor; }
float Slider::getZoomFactor() const { return zoomFactor; }

float Slider::drawnFraction() const { return (style & (kSliderLeft | kSliderBottom)) ? value : 1.0f - value; }

Rect Slider::handleRect() const {
    float f = drawnFraction();
    Rect r;
    if (horizontal()) {
        r.top = handleOffset.v;
        r.bottom = r.top + handleHeight;
        r.left = handleOffset.h + int(f * handleRange);
        if (r.left < handleMin) r.left = handleMin;
        r.right = r.left + handleWidth;
        if (r.right > handleMax) r.right = handleMax;
    } else {
        r.left = handleOffset.h;
        r.right = r.left + handleWidth;
        r.top = handleOffset.v + int(f * handleRange);
        if (r.top < handleMin) r.top = handleMin;
        r.bottom = r.top + handleHeight;
        if (r.bottom > handleMax) r.bottom = handleMax;
    }
    return r;
}

void Slider::draw(DrawContext* context) {
    // The frame's scale changed since the offscreen was made.
    if (offscreen && context && offscreen->scale() != context->scale()) attached(frame_);
    // Composed offscreen so the slider never flickers; before it is attached to a frame it
    // has no offscreen and draws straight into the context instead.
    DrawContext* target = offscreen ? static_cast<DrawContext*>(offscreen) : context;
    Point origin = offscreen ? Point(0, 0) : Point(size_.left, size_.top);
    if (target) {
        drawBackground(target, Rect(origin.h, origin.v, origin.h + controlWidth, origin.v + controlHeight),
                       bitmapOffset);
        if (handle) {
            Rect r = handleRect();
            r = Rect(r.left + origin.h, r.top + origin.v, r.right + origin.h, r.bottom + origin.v);
            if (drawHandleTransparent) {
                handle->drawTransparent(target, r);
            } else {
                handle->draw(target, r);
            }
        }
        if (offscreen) offscreen->copyTo(context, size_);
    }
    setDirty(false);
}

void Slider::mouseDown(DrawContext* context, Point& pressed) {
    if (!isMouseEnabled() || !context) return;
    int buttons = context->mouseButtons();
    if (buttons == (kButtonLeft | kModControl)) {
        value = defaultValue;
        reportIfDirty(context);
        return;
    }
    if (!(buttons & kButtonLeft)) return;

    Point where = pressed;
    bool across = horizontal();
    int delta = across ? size_.left + handleOffset.h : size_.top + handleOffset.v;
    if (freeClick) {
        // The handle's centre follows the mouse.
        delta += across ? handleWidth / 2 - 1 : handleHeight / 2 - 1;
    } else {
        int pos = int(drawnFraction() * handleRange);
        bool inside;
        if (across) {
            pos += handleOffset.h + size_.left;
            int top = size_.top + handleOffset.v;
            inside = where.h >= pos && where.h <= pos + handleWidth && where.v >= top && where.v <= top + handleHeight;
            delta += where.h - pos;
        } else {
            pos += handleOffset.v + size_.top;
            int left = size_.left + handleOffset.h;
            inside =
                where.v >= pos && where.v <= pos + handleHeight && where.h >= left && where.h <= left + handleWidth;
            delta += where.v - pos;
        }
        if (!inside) return;  // only a grab of the handle itself moves it
    }

    float oldValue = value;
    int oldButtons = buttons;
    if (frame_) {
        frame_->beginEdit(tag);
        frame_->setFocusView(this);
    }
    while (true) {
        buttons = context->mouseButtons();
        if (!(buttons & kButtonLeft)) break;
        // Fine mode measures from the value at the moment Shift went down.
        if (buttons != oldButtons && (buttons & kModShift)) {
            oldValue = value;
            oldButtons = buttons;
        } else if (!(buttons & kModShift)) {
            oldValue = value;
        }
        int along = across ? where.h : where.v;
        float v = handleRange != 0 ? float(along - delta) / float(handleRange) : 0.0f;
        if (style & (kSliderRight | kSliderTop)) v = 1.0f - v;
        if (buttons & kModShift) v = oldValue + (v - oldValue) / zoomFactor;
        value = v;
        clampValue();
        reportIfDirty(context);
        context->mouseLocation(where);
        serviceIdle();
    }
    if (frame_) frame_->endEdit(tag);
}

int Slider::keyDown(KeyCode* key) { return stepByKey(key); }

bool Slider::wheel(DrawContext* context, const Point&, float distance) { return stepByWheel(context, distance); }
