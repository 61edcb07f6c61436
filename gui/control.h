// A view that carries a value between a minimum and a maximum and reports user changes.
#pragma once

#include "gui/view.h"

class Bitmap;
class Control;

class ControlListener {
public:
    // context is null for changes made by keys.
    virtual void controlChanged(DrawContext* context, Control* control) = 0;

protected:
    ~ControlListener() = default;
};

class Control : public View {
public:
    Control(const Rect& size, ControlListener* listener = nullptr, int tag = 0, Bitmap* background = nullptr);
    ~Control() override;

    void draw(DrawContext* context) override = 0;
    // Dirty while the value differs from the value last drawn.
    bool isDirty() override;
    void setDirty(bool flag = true) override;

    virtual void serviceIdle();
    virtual void setValue(float value);
    virtual float getValue() const;
    virtual void setMinimum(float value);
    virtual float getMinimum() const;
    virtual void setMaximum(float value);
    virtual float getMaximum() const;
    virtual void setLastDrawnValue(float value);
    virtual float getLastDrawnValue() const;
    virtual void setDefaultValue(float value);
    virtual float getDefaultValue() const;
    virtual void setTag(int value);
    virtual void setBackground(Bitmap* bitmap);
    virtual Bitmap* getBackground() const;
    virtual void setBackgroundOffset(const Point& offset);
    virtual void alignBackgroundOffset();
    virtual void setStepIncrement(float value);
    virtual float getStepIncrement() const;
    virtual void clampValue();

    ControlListener* listener;
    int tag;

protected:
    // The background part under the view, keyed when the view is transparent.
    void drawBackground(DrawContext* context, const Rect& where, Point offset);
    // Tells the listener when the last user change left the control dirty.
    void reportIfDirty(DrawContext* context);
    // Arrow keys and wheel notches of the knob and the sliders.
    int stepByKey(KeyCode* key);
    bool stepByWheel(DrawContext* context, float distance);

    float lastDrawnValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 1.0f;
    float stepIncrement = 0.1f;
    Bitmap* background;
    Point backgroundOffset;
};
