#include "drawing_cases.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

#include "gui/offscreen_context.h"
#include "gui/platform.h"

namespace {

Color colorOf(std::uint32_t rgb) {
    Color c;
    c.red = std::uint8_t(rgb >> 16);
    c.green = std::uint8_t(rgb >> 8);
    c.blue = std::uint8_t(rgb);
    return c;
}

void line(DrawContext& c, int x0, int y0, int x1, int y1) {
    c.moveTo(Point(x0, y0));
    c.lineTo(Point(x1, y1));
}

void drawKeyedCopies(DrawContext& c) {
    void* image = makeTestImage(kKeyedImageWidth, kKeyedImageHeight, keyedImagePixels());
    drawBitmapImage(image, c, Rect(2, 2, 6, 5), Point(), false, Color());
    drawBitmapImage(image, c, Rect(10, 2, 14, 5), Point(), true, kColorTransparent);
    drawBitmapImage(image, c, Rect(18, 2, 22, 5), Point(), true, kColorBlack);
    Color keyWithAlpha = colorOf(0xFEFFFF);
    keyWithAlpha.alpha = 200;  // the alpha byte plays no part in the key
    drawBitmapImage(image, c, Rect(2, 8, 6, 11), Point(), true, keyWithAlpha);
    // A sub-rectangle from an offset: the right 2 x 2 block of the lower rows.
    drawBitmapImage(image, c, Rect(10, 8, 12, 10), Point(2, 1), true, kColorTransparent);
    drawBitmapImage(image, c, Rect(18, 8, 20, 10), Point(2, 1), false, Color());
    freeBitmapImage(image);
}

std::vector<DrawingCase> buildCases() {
    std::vector<DrawingCase> cases;
    auto add = [&](std::string name, int w, int h, std::function<void(DrawContext&)> draw,
                   std::vector<Rect> text = {}) {
        DrawingCase c;
        c.name = std::move(name);
        c.width = w;
        c.height = h;
        c.textAreas = std::move(text);
        c.draw = std::move(draw);
        cases.push_back(std::move(c));
    };

    add("stroke_rect", 40, 40, [](DrawContext& c) {
        c.setLineColor(kColorRed);
        c.strokeRect(Rect(0, 0, 10, 10));
        c.setLineColor(colorOf(kGreen));
        c.strokeRect(Rect(15, 3, 37, 20));
        c.strokeRect(Rect(5, 25, 5, 35));    // no width: one column
        c.strokeRect(Rect(10, 30, 20, 30));  // no height: one row
    });
    add("fill_rect", 40, 40, [](DrawContext& c) {
        c.setFillColor(kColorBlue);
        c.fillRect(Rect(0, 0, 10, 10));
        c.setFillColor(colorOf(kGreen));
        c.fillRect(Rect(15, 3, 37, 20));
        c.fillRect(Rect(3, 30, 4, 31));   // the smallest interior: none
        c.fillRect(Rect(8, 30, 10, 32));  // one pixel
    });
    add("fill_inverted", 40, 40, [](DrawContext& c) {
        // Rectangles are never normalised; these have their edges swapped.
        c.setFillColor(kColorBlue);
        c.fillRect(Rect(20, 5, 10, 15));
        c.fillRect(Rect(25, 30, 35, 20));
        c.fillRect(Rect(30, 35, 30, 35));  // no size at all: its interior is one pixel
    });
    add("fill_and_stroke", 40, 40, [](DrawContext& c) {
        c.setFillColor(kColorBlue);
        c.setLineColor(kColorRed);
        c.fillRect(Rect(5, 5, 9, 8));
        c.strokeRect(Rect(5, 5, 9, 8));
        c.strokeRect(Rect(20, 20, 30, 30));
        c.fillRect(Rect(20, 20, 30, 30));
    });
    add("lines", 40, 40, [](DrawContext& c) {
        c.setLineColor(kColorRed);
        line(c, 2, 5, 8, 5);
        line(c, 20, 20, 24, 24);
        line(c, 30, 10, 30, 6);
        line(c, 12, 2, 6, 2);  // leftwards
        line(c, 35, 35, 33, 37);
        c.setLineColor(colorOf(kGreen));
        line(c, 0, 39, 39, 0);
    });
    add("slopes", 40, 40, [](DrawContext& c) {
        c.setLineColor(kColorRed);
        line(c, 0, 0, 17, 5);
        line(c, 3, 8, 8, 30);
        line(c, 38, 12, 21, 17);
        line(c, 30, 38, 25, 16);
        line(c, 10, 35, 20, 36);
    });
    add("slopes_ties", 40, 40, [](DrawContext& c) {
        // Lines in every octant that pass exactly between two pixels half-way along.
        c.setLineColor(kColorRed);
        line(c, 2, 20, 12, 19);   // right, slightly up
        line(c, 20, 30, 21, 20);  // up, slightly right
        line(c, 39, 39, 29, 38);  // left, slightly up
        line(c, 30, 0, 29, 10);   // down, slightly left
        line(c, 14, 2, 4, 3);     // left, slightly down
        line(c, 25, 22, 24, 12);  // up, slightly left
        line(c, 2, 25, 12, 26);   // right, slightly down
        line(c, 34, 12, 35, 22);  // down, slightly right
    });
    add("dotted", 40, 40, [](DrawContext& c) {
        c.setLineColor(kColorRed);
        c.setLineStyle(kLineStyleDotted);
        line(c, 0, 3, 30, 3);
        line(c, 0, 6, 1, 6);
        line(c, 0, 8, 5, 8);
        line(c, 5, 8, 14, 8);  // does the pattern carry on into a second line?
        line(c, 35, 2, 35, 30);
        line(c, 2, 12, 20, 30);
        c.setLineStyle(kLineStyleSolid);
        line(c, 0, 38, 30, 38);
    });
    add("dotted_rect", 40, 40, [](DrawContext& c) {
        c.setLineColor(kColorRed);
        c.setLineStyle(kLineStyleDotted);
        c.strokeRect(Rect(2, 2, 30, 20));
        c.setLineColor(colorOf(kGreen));  // a new pen: a new pattern
        c.strokeRect(Rect(4, 24, 11, 31));
    });
    add("text_left", 60, 40,
        [](DrawContext& c) {
            c.selectFont(kFontNormal);
            c.setTextColor(kColorRed);
            c.drawText("H", Rect(5, 0, 35, 30), 0, kAlignLeft);
        },
        {Rect(5, 0, 35, 30)});
    add("text_left_moved", 60, 40,
        [](DrawContext& c) {
            c.selectFont(kFontNormal);
            c.setTextColor(kColorRed);
            c.drawText("H", Rect(5, 6, 35, 36), 0, kAlignLeft);
        },
        {Rect(5, 6, 35, 36)});
    add("text_align", 80, 60,
        [](DrawContext& c) {
            c.selectFont(kFontSmall);
            c.setTextColor(colorOf(0xFFFF00));
            c.drawText("10 ms", Rect(2, 2, 78, 18), 0, kAlignLeft);
            c.drawText("10 ms", Rect(2, 21, 78, 37), 0, kAlignCenter);
            c.drawText("10 ms", Rect(2, 40, 78, 56), 0, kAlignRight);
        },
        {Rect(2, 2, 78, 18), Rect(2, 21, 78, 37), Rect(2, 40, 78, 56)});
    add("text_heights", 80, 60,
        [](DrawContext& c) {
            c.setTextColor(kColorRed);
            c.selectFont(kFontSystem);
            c.drawText("Hx", Rect(0, 0, 40, 13), 0, kAlignCenter);  // rect shorter than the cell
            c.selectFont(kFontVeryBig);
            c.drawText("Hx", Rect(40, 0, 80, 30), 0, kAlignCenter);
            c.selectFont(kFontVerySmall);
            c.drawText("Hx", Rect(0, 30, 40, 45), 0, kAlignCenter);  // odd height
            c.selectFont(kFontBig, 0, kStyleBold);
            c.drawText("Hx", Rect(40, 30, 80, 60), 0, kAlignCenter);
        },
        {Rect(0, 0, 40, 13), Rect(40, 0, 80, 30), Rect(0, 30, 40, 45), Rect(40, 30, 80, 60)});
    add("text_opaque", 80, 40,
        [](DrawContext& c) {
            c.setFillColor(kColorBlue);
            c.setTextColor(kColorRed);
            c.selectFont(kFontNormal);
            c.drawText("ii", Rect(0, 0, 40, 20), 1, kAlignCenter);
            c.drawText("ii", Rect(40, 0, 80, 20), 0, kAlignCenter);  // the mode goes back
            c.setFillColor(colorOf(kGreen));
            c.drawText("Mm", Rect(0, 20, 80, 40), 1, kAlignLeft);
        },
        {Rect(0, 0, 40, 20), Rect(40, 0, 80, 20), Rect(0, 20, 80, 40)});
    add("text_underline", 60, 30,
        [](DrawContext& c) {
            c.setTextColor(kColorRed);
            c.selectFont(kFontNormal, 0, kStyleUnderline);
            c.drawText("Hello", Rect(0, 0, 60, 30), 0, kAlignCenter);
        },
        {Rect(0, 0, 60, 30)});
    add("text_null", 40, 20, [](DrawContext& c) {
        c.setFillColor(kColorBlue);
        c.selectFont(kFontNormal);
        c.drawText(nullptr, Rect(0, 0, 40, 20), 1, kAlignLeft);
    });
    for (KeyedPath path : {KeyedPath::System, KeyedPath::Mask}) {
        add(path == KeyedPath::System ? "keyed_system" : "keyed_mask", 24, 12, drawKeyedCopies);
        cases.back().keyedPath = path;
    }
    add("offscreen", 40, 60, [](DrawContext& c) {
        OffscreenContext offscreen(nullptr, 16, 40, kColorBlack);
        offscreen.setFillColor(kColorRed);
        offscreen.fillRect(Rect(2, 2, 13, 20));
        offscreen.setLineColor(colorOf(kGreen));
        offscreen.moveTo(Point(0, 30));
        offscreen.lineTo(Point(16, 30));
        offscreen.copyTo(&c, Rect(5, 5, 21, 45));
        offscreen.copyTo(&c, Rect(25, 5, 33, 15), Point(8, 25));
    });
    return cases;
}

}  // namespace

const std::vector<DrawingCase>& drawingCases() {
    static const std::vector<DrawingCase> cases = buildCases();
    return cases;
}

const DrawingCase& drawingCase(const std::string& name) {
    for (const DrawingCase& c : drawingCases())
        if (c.name == name) return c;
    throw std::invalid_argument("no drawing case " + name);
}

RenderedCase::RenderedCase(const DrawingCase& c) : drawn(c), canvas(c.width, c.height, kPaper) {
    useKeyedPath(c.keyedPath);
    std::unique_ptr<DrawContext> context(canvas.makeContext());
    c.draw(*context);
    context.reset();
    useKeyedPath(KeyedPath::System);
}

std::vector<std::uint32_t> keyedImagePixels() {
    return {0xFFFFFF, 0xFEFFFF, 0xFF0000, 0x0000FF,  //
            0x00FF00, 0xFFFFFF, 0x000000, 0x7F7F7F,  //
            0xFFFFFE, 0x000000, 0xFFFFFF, 0x010101};
}

bool writePpm(const std::string& path, int width, int height, const std::vector<std::uint32_t>& pixels) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (std::uint32_t p : pixels) {
        unsigned char rgb[3] = {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

bool readPpm(const std::string& path, int& width, int& height, std::vector<std::uint32_t>& pixels) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    int maxValue = 0;
    bool ok = std::fscanf(file, "P6 %d %d %d", &width, &height, &maxValue) == 3 && maxValue == 255 && width > 0 &&
              height > 0 && std::fgetc(file) == '\n';
    if (ok) {
        pixels.assign(size_t(width) * height, 0);
        for (std::uint32_t& p : pixels) {
            unsigned char rgb[3];
            if (std::fread(rgb, 1, 3, file) != 3) {
                ok = false;
                break;
            }
            p = (std::uint32_t(rgb[0]) << 16) | (rgb[1] << 8) | rgb[2];
        }
    }
    std::fclose(file);
    return ok;
}
