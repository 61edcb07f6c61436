#include "gui/knob.h"

#include <cmath>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/frame_owner.h"

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr float kLinearRange = 200.0f;  // pixels for the whole range

double wrapAngle(double x) {
    if (x < 0) return x + kTwoPi;
    if (x > kTwoPi) return x - kTwoPi;
    return x;
}
}  // namespace

Knob::Knob(const Rect& size, ControlListener* listener, int tag, Bitmap* body, Bitmap* handle, const Point& offset)
    : Control(size, listener, tag, body), bitmapOffset(offset) {
    if (handle) {
        this->handle = handle;
        handle->retain();
        inset = int(handle->getWidth() * 0.5 + 2.5);
    } else {
        inset = 3;
    }
    handleShadowColor = kColorGrey;
    handleColor = kColorWhite;
    rangeAngle = 1.0f;  // keeps the first coefficient update finite
    radius = (size.right - size.left) * 0.5f;
    setStartAngle(3.9269907f);  // 5/4 pi: the minimum at lower left
    setRangeAngle(-4.712389f);  // 3/2 pi clockwise, ending lower right
    zoomFactor = 1.5f;
}

Knob::~Knob() {
    if (handle) handle->release();
}

void Knob::updateAngles() {
    angleScale = (maximum - minimum) / rangeAngle;
    angleOffset = minimum - angleScale * startAngle;
    halfGapAngle = float((kTwoPi - std::fabs(rangeAngle)) * 0.5);
    setDirty(true);
}

void Knob::setStartAngle(float angle) {
    startAngle = angle;
    updateAngles();
}

float Knob::getStartAngle() const { return startAngle; }

void Knob::setRangeAngle(float angle) {
    rangeAngle = angle;
    updateAngles();
}

float Knob::getRangeAngle() const { return rangeAngle; }

void Knob::pointForValue(Point& point) {
    float angle = (value - angleOffset) / angleScale;
    float reach = radius - inset;
    point.h = int(radius + std::cos(angle) * reach + 0.5f);
    point.v = int(radius - std::sin(angle) * reach + 0.5f);
}

float Knob::valueForPoint(const Point& point) {
    double a = std::atan2(radius - point.v, point.h - radius);
    if (a < 0) a += kTwoPi;
    a -= startAngle;
    // The dead gap is split at its middle: each half snaps to the end next to it.
    if (rangeAngle < 0) {
        a -= rangeAngle;  // now measured from the maximum's end
        double w = wrapAngle(a);
        float limit = halfGapAngle - rangeAngle;
        if (w > limit) return maximum;
        if (w > -rangeAngle) return minimum;
        double d = a > limit ? a - kTwoPi : (a < -halfGapAngle ? a + kTwoPi : a);
        return float(maximum + angleScale * d);
    }
    double w = wrapAngle(a);
    float limit = rangeAngle + halfGapAngle;
    if (w > limit) return minimum;
    if (w > rangeAngle) return maximum;
    double d = a > limit ? a - kTwoPi : (a < -halfGapAngle ? a + kTwoPi : a);
    return float(minimum + angleScale * d);
}

void Knob::setInset(int v) { inset = v; }
void Knob::setHandleShadowColor(Color color) { handleShadowColor = color; }
void Knob::setHandleColor(Color color) { handleColor = color; }

void Knob::setHandleBitmap(Bitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (handle) handle->release();
    handle = bitmap;
}

void Knob::setZoomFactor(float factor) { zoomFactor = factor; }
float Knob::getZoomFactor() const { return zoomFactor; }

void Knob::draw(DrawContext* context) {
    drawBackground(context, size_, bitmapOffset);
    drawHandle(context);
    setDirty(false);
}

void Knob::drawHandle(DrawContext* context) {
    if (!context) return;
    Point p;
    pointForValue(p);
    if (handle) {
        int w = handle->getWidth(), h = handle->getHeight();
        Rect where(size_.left + p.h - w / 2, size_.top + p.v - h / 2, 0, 0);
        where.right = where.left + w;
        where.bottom = where.top + h;
        handle->drawTransparent(context, where);
        return;
    }
    Point tip(size_.left - 1 + p.h, size_.top + p.v);
    Point centre(size_.left - 1 + size_.width() / 2, size_.top + size_.height() / 2);
    context->setLineColor(handleShadowColor);
    context->moveTo(tip);
    context->lineTo(centre);
    tip = Point(tip.h + 1, tip.v - 1);
    centre = Point(centre.h + 1, centre.v - 1);
    context->setLineColor(handleColor);
    context->moveTo(tip);
    context->lineTo(centre);
}

void Knob::mouseDown(DrawContext* context, Point& pressed) {
    Point where = pressed;
    if (!isMouseEnabled() || !context) return;
    int buttons = context->mouseButtons();
    if (!(buttons & kButtonLeft)) return;
    if (buttons == (kButtonLeft | kModControl)) {
        // Reset to default: a single change, so no edit brackets.
        value = defaultValue;
        reportIfDirty(context);
        return;
    }

    float entryValue = value;
    float halfRange = (maximum - minimum) * 0.5f;
    int oldButtons = buttons;
    int mode = frame_ ? frame_->knobMode() : currentKnobMode();
    bool alt = (buttons & kModAlt) != 0;
    bool linear = mode == 2 ? !alt : alt;
    Point corner(size_.left, size_.top);
    Point firstPoint = where;
    float lastAccepted = 0.0f;
    float coef = 0.0f;
    if (linear) {
        float range = (buttons & kModShift) ? zoomFactor * kLinearRange : kLinearRange;
        coef = (maximum - minimum) / range;
    } else {
        lastAccepted = valueForPoint(Point(where.h - corner.h, where.v - corner.v));
    }

    Point lastPoint(-1, -1);
    if (frame_) {
        frame_->beginEdit(tag);
        frame_->setFocusView(this);
    }
    do {
        buttons = context->mouseButtons();
        if (where != lastPoint) {
            lastPoint = where;
            if (linear) {
                // Rightward and upward movement both increase the value.
                int diff = (where.h - firstPoint.h) - (where.v - firstPoint.v);
                if (buttons != oldButtons) {
                    // Re-base so that a change of rate does not move the value.
                    float newRange = (buttons & kModShift) ? zoomFactor * kLinearRange : kLinearRange;
                    float newCoef = (maximum - minimum) / newRange;
                    entryValue += diff * (coef - newCoef);
                    coef = newCoef;
                    oldButtons = buttons;
                }
                value = entryValue + diff * coef;
                clampValue();
            } else {
                float v = valueForPoint(Point(where.h - corner.h, where.v - corner.v));
                value = v;
                // A jump of more than half the range means the handle crossed the gap.
                if (lastAccepted - v > halfRange) {
                    value = maximum;
                } else if (v - lastAccepted > halfRange) {
                    value = minimum;
                } else {
                    lastAccepted = v;
                }
            }
            reportIfDirty(context);
        }
        context->mouseLocation(where);
        serviceIdle();
    } while (buttons & kButtonLeft);
    if (frame_) frame_->endEdit(tag);
}

int Knob::keyDown(KeyCode* key) { return stepByKey(key); }

bool Knob::wheel(DrawContext* context, const Point&, float distance) { return stepByWheel(context, distance); }
