#include "gui/vu_meter.h"

#include "gui/bitmap.h"

VuMeter::VuMeter(const Rect& size, Bitmap* onBitmap, Bitmap* offBitmap, int segmentCount, int style)
    : Control(size, nullptr, 0, nullptr),
      onBitmap(onBitmap),
      offBitmap(offBitmap),
      segmentCount(segmentCount),
      style(style),
      onRect(size),
      offRect(size) {
    if (onBitmap) onBitmap->retain();
    if (offBitmap) offBitmap->retain();
}

VuMeter::~VuMeter() {
    if (onBitmap) onBitmap->release();
    if (offBitmap) offBitmap->release();
}

void VuMeter::setDirty(bool flag) { dirty_ = flag; }

void VuMeter::setFallStep(float step) { fallStep = step; }

void VuMeter::draw(DrawContext* context) {
    if (!onBitmap) return;
    clampValue();
    float shown = lastDrawnValue - fallStep;
    if (shown < value) shown = value;
    lastDrawnValue = shown;

    // A meter without steps would divide by zero; treat it as a single step.
    int steps = segmentCount > 0 ? segmentCount : 1;
    Point offOffset, onOffset;
    if (style & kVuMeterHorizontal) {
        int k = int(shown * steps + 0.5f);
        int w = int(float(k) / steps * onBitmap->getWidth());
        offRect.left = size_.left + w;
        onRect.right = size_.left + w;
        offOffset = Point(w, 0);
    } else {
        int k = int((maximum - shown) * steps + 0.5f);
        int h = int(float(k) / steps * onBitmap->getHeight());
        offRect.bottom = size_.top + h;
        onRect.top = size_.top + h;
        onOffset = Point(0, h);
    }
    bool keyed = isTransparent();
    if (offBitmap) {
        if (keyed) {
            offBitmap->drawTransparent(context, offRect, offOffset);
        } else {
            offBitmap->draw(context, offRect, offOffset);
        }
    }
    if (keyed) {
        onBitmap->drawTransparent(context, onRect, onOffset);
    } else {
        onBitmap->draw(context, onRect, onOffset);
    }
}
