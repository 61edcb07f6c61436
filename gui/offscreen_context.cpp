#include "gui/offscreen_context.h"

#include "gui/platform.h"

OffscreenContext::OffscreenContext(Frame* frame, int width, int height, Color background, Point panelOrigin)
    : DrawContext(frame, nullptr, nullptr), height_(height), width_(width), background_(background) {
    setUnitOrigin(panelOrigin);
    const Point size = toDevice(Point(width, height));
    adoptSurface(createOffscreenSurface(frame, size.h, size.v));
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
    const Point from = toDevice(offset);
    copySurface(*destination->surface(), to.left, to.top, to.width(), to.height(), *surface(), from.h, from.v);
}
