#include "gui/param_display.h"

#include <cstdio>

#include "gui/bitmap.h"
#include "gui/draw_context.h"

namespace {
constexpr int kTextSize = 256;
}

ParamDisplay::ParamDisplay(const Rect& size, Bitmap* background, int style)
    : Control(size, nullptr, 0, background),
      style(style),
      fontColor(kColorWhite),
      backColor(kColorBlack),
      frameColor(kColorBlack),
      shadowColor(kColorRed) {
    if (style & kDisplayNoDraw) setDirty(false);
}

ParamDisplay::~ParamDisplay() = default;

void ParamDisplay::setFont(int id) {
    if (fontId != id) setDirty(true);
    fontId = id;
}

void ParamDisplay::setFontColor(Color color) {
    if (!fontColor.sameRgb(color)) setDirty(true);
    fontColor = color;
}

void ParamDisplay::setBackColor(Color color) {
    if (!backColor.sameRgb(color)) setDirty(true);
    backColor = color;
}

void ParamDisplay::setFrameColor(Color color) {
    if (!frameColor.sameRgb(color)) setDirty(true);
    frameColor = color;
}

void ParamDisplay::setShadowColor(Color color) {
    if (!shadowColor.sameRgb(color)) setDirty(true);
    shadowColor = color;
}

void ParamDisplay::setTextAlign(int align) {
    if (textAlign != align) setDirty(true);
    textAlign = align;
}

void ParamDisplay::setFormatterWithData(ValueFormatterWithData f, std::int32_t data) {
    formatterWithData = f;
    userData = data;
}

void ParamDisplay::setFormatter(ValueFormatter f) { formatter = f; }
void ParamDisplay::setThirdCallback(DisplayCallback callback) { thirdCallback = callback; }

void ParamDisplay::setStyle(int s) {
    if (style != s) {
        style = s;
        setDirty(true);
    }
}

void ParamDisplay::setFontStyle(int s) {
    if (fontStyle != s) setDirty(true);
    fontStyle = s;
}

void ParamDisplay::setTextTransparent(bool flag) { textTransparent = flag; }

void ParamDisplay::draw(DrawContext* context) {
    char text[kTextSize];
    if (formatterWithData) {
        text[0] = 0;
        formatterWithData(value, text, userData);
    } else if (formatter) {
        text[0] = 0;
        formatter(value, text);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", value);
    }
    text[kTextSize - 1] = 0;  // a formatter that forgets the terminator stays inside the buffer
    drawValueText(context, text, nullptr);
}

void ParamDisplay::drawValueText(DrawContext* context, const char* text, Bitmap* bitmap) {
    setDirty(false);
    if ((style & kDisplayNoDraw) || !context) return;

    Bitmap* picture = bitmap ? bitmap : background;
    if (picture) {
        if (isTransparent()) {
            picture->drawTransparent(context, size_, backgroundOffset);
        } else {
            picture->draw(context, size_, backgroundOffset);
        }
    } else if (!isTransparent()) {
        context->setFillColor(backColor);
        context->fillRect(size_);
        if (!(style & (kDisplayBevelIn | kDisplayBevelOut))) {
            context->setLineColor(frameColor);
            context->strokeRect(size_);
        }
    }

    if (style & (kDisplayBevelIn | kDisplayBevelOut)) {
        bool in = (style & kDisplayBevelIn) != 0;
        context->setLineColor(in ? backColor : frameColor);
        context->moveTo(Point(size_.left, size_.bottom));
        context->lineTo(Point(size_.left, size_.top));
        context->lineTo(Point(size_.right + 1, size_.top));
        context->setLineColor(in ? frameColor : backColor);
        context->moveTo(Point(size_.right, size_.top + 1));
        context->lineTo(Point(size_.right, size_.bottom));
        context->lineTo(Point(size_.left, size_.bottom));
    }

    if ((style & kDisplayNoText) || !text || !text[0]) return;
    context->selectFont(fontId, 0, fontStyle);
    short opaque = textTransparent ? 0 : 1;
    if (style & kDisplayShadowText) {
        context->setTextColor(shadowColor);
        Rect shadow(size_.left + 1, size_.top + 1, size_.right + 1, size_.bottom + 1);
        context->drawText(text, shadow, opaque, textAlign);
    }
    context->setTextColor(fontColor);
    context->drawText(text, size_, opaque, textAlign);
}
