// Shows a value as text made by a pluggable formatter, over a bitmap or a filled box.
#pragma once

#include <cstdint>

#include "gui/control.h"

enum {
    kDisplayShadowText = 0x4,
    kDisplayBevelIn = 0x80,
    kDisplayBevelOut = 0x100,
    kDisplayNoText = 0x800,
    kDisplayNoDraw = 0x1000
};

// Write a zero-terminated text of fewer than 256 bytes into text.
using ValueFormatter = void (*)(float value, char* text);
using ValueFormatterWithData = void (*)(float value, char* text, std::int32_t userData);
using DisplayCallback = void (*)();

class ParamDisplay : public Control {
public:
    ParamDisplay(const Rect& size, Bitmap* background = nullptr, int style = 0);
    ~ParamDisplay() override;

    void draw(DrawContext* context) override;

    virtual void setFont(int fontId);
    virtual void setFontColor(Color color);
    virtual void setBackColor(Color color);
    virtual void setFrameColor(Color color);
    virtual void setShadowColor(Color color);
    virtual void setTextAlign(int align);
    virtual void setFormatterWithData(ValueFormatterWithData formatter, std::int32_t userData);
    virtual void setFormatter(ValueFormatter formatter);
    virtual void setThirdCallback(DisplayCallback callback);
    virtual void setStyle(int style);
    virtual void setFontStyle(int style);
    virtual void setTextTransparent(bool flag);

    int getStyle() const { return style; }
    int getFont() const { return fontId; }
    Color getFontColor() const { return fontColor; }

protected:
    void drawValueText(DrawContext* context, const char* text, Bitmap* bitmap);

    ValueFormatter formatter = nullptr;
    ValueFormatterWithData formatterWithData = nullptr;
    DisplayCallback thirdCallback = nullptr;
    std::int32_t userData = 0;
    int textAlign = kAlignCenter;
    int style;
    int fontId = kFontNormal;
    int fontStyle = 0;
    Color fontColor;
    Color backColor;
    Color frameColor;
    Color shadowColor;
    bool textTransparent = true;
};
