// Rotary control: a body bitmap with a handle that travels on a circle.
#pragma once

#include "gui/control.h"

class Knob : public Control {
public:
    Knob(const Rect& size, ControlListener* listener, int tag, Bitmap* body, Bitmap* handle,
         const Point& offset = Point());
    ~Knob() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, Point& where) override;
    int keyDown(KeyCode* key) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;

    virtual void drawHandle(DrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const;
    // Handle centre for the current value, relative to the knob's top-left corner.
    virtual void pointForValue(Point& point);
    virtual float valueForPoint(const Point& point);
    virtual void setInset(int value);
    virtual void setHandleShadowColor(Color color);
    virtual void setHandleColor(Color color);
    virtual void setHandleBitmap(Bitmap* bitmap);
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

    int getInset() const { return inset; }

protected:
    void updateAngles();

    Point bitmapOffset;
    Color handleColor;
    Color handleShadowColor;
    Bitmap* handle = nullptr;
    int inset;
    float startAngle = 0.0f;
    float rangeAngle;
    float halfGapAngle = 0.0f;
    float angleScale = 0.0f;
    float angleOffset = 0.0f;
    float radius;
    float zoomFactor;
};
