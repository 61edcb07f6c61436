#include "gui/offscreen_context.h"

#include "gui/platform.h"

OffscreenContext::OffscreenContext(Frame* frame, int width, int height, Color background)
    : DrawContext(frame, nullptr, nullptr), height_(height), width_(width), background_(background) {
    adoptSurface(createOffscreenSurface(frame, toDevice(width), toDevice(height)));
    setLineColor(lineColor());
    setLineStyle(lineStyle());
    setFillColor(background);
    setLineColor(background);
    Rect all(0, 0, width, height);
    fillRect(all);
    strokeRect(all);
}

void OffscreenContext::copyTo(DrawContext* destination, const Rect& rect, Point offset) {
    if (!destination || !destination->surface() || !surface()) return;
    if (destination->scale() == 1.0 && scale() == 1.0) {
        Point shift = destination->drawingOffset();
        copySurface(*destination->surface(), rect.left + shift.h, rect.top + shift.v, rect.width(), rect.height(),
                    *surface(), offset.h, offset.v);
        return;
    }
    const Rect to = destination->toDevice(rect);
    copySurface(*destination->surface(), to.left, to.top, to.width(), to.height(), *surface(), toDevice(offset.h),
                toDevice(offset.v));
}
