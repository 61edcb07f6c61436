// Level meter: a lit and an unlit bitmap split at the shown level, which rises at once and
// falls by at most fallStep per redraw. The shown level lives in lastDrawnValue.
#pragma once

#include "gui/control.h"

// Any style without the horizontal bit is vertical, growing upward.
enum { kVuMeterHorizontal = 1, kVuMeterVertical = 2 };

class VuMeter : public Control {
public:
    VuMeter(const Rect& size, Bitmap* onBitmap, Bitmap* offBitmap, int segmentCount, int style = kVuMeterVertical);
    ~VuMeter() override;

    void draw(DrawContext* context) override;
    // Only the view's flag: lastDrawnValue holds the shown level.
    void setDirty(bool flag = true) override;

    virtual void setFallStep(float step);

    float shownLevel() const { return lastDrawnValue; }
    const Rect& litRect() const { return onRect; }
    const Rect& unlitRect() const { return offRect; }

protected:
    Bitmap* onBitmap;
    Bitmap* offBitmap;
    int segmentCount;
    int style;
    float fallStep = 0.1f;
    Rect onRect;
    Rect offRect;
};
