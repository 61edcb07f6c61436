#include "gui_test_support.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "gui/bitmap.h"
#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/image_lookup.h"
#include "gui/knob.h"
#include "gui/slider.h"
#include "gui/surface_cairo.h"

TestWindow::TestWindow(int width, int height, Point screenOrigin)
    : image_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)), origin_(screenOrigin) {
    pointer_.origin = screenOrigin;
}

TestWindow::~TestWindow() {
    if (destroyedFlag) *destroyedFlag = true;
    note("destroyed");
    cairo_surface_destroy(image_);
}

DrawContext* TestWindow::createContext(Frame* frame) {
    ++contextsMade;
    return new DrawContext(frame, new CairoSurface(image_, false), this);
}

void TestWindow::releaseContext(DrawContext* context) {
    ++contextsReleased;
    delete context;
}

std::uint32_t TestWindow::pixel(int x, int y) const { return CairoSurface(image_, false).pixel(x, y); }

void TestWindow::fill(std::uint32_t rgb) {
    CairoSurface surface(image_, false);
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) surface.setPixel(x, y, rgb);
}

Knob* makePanelKnob(ControlListener* listener) {
    Bitmap* body = new Bitmap(kKnobBody);
    Bitmap* handle = new Bitmap(kKnobHandle);
    Knob* knob = new Knob(Rect(36, 76, 60, 100), listener, 2, body, handle, Point(0, 1));
    body->release();
    handle->release();
    return knob;
}

namespace {
template <typename PanelSlider>
PanelSlider* makeSlider(ControlListener* listener, const Rect& size, int tag, int handleStart, int handleEnd,
                        int handleId, int trackId, int style) {
    Bitmap* handle = new Bitmap(handleId);
    Bitmap* track = new Bitmap(trackId);
    auto* slider = new PanelSlider(size, listener, tag, handleStart, handleEnd, handle, track, Point(0, 0), style);
    handle->release();
    track->release();
    return slider;
}
}  // namespace

HorizontalSlider* makePanSlider(ControlListener* listener) {
    return makeSlider<HorizontalSlider>(listener, Rect(358, 17, 430, 32), 0, 362, 426, kPanHandle, kPanTrack,
                                        kSliderLeft);
}

VerticalSlider* makeOutFader(ControlListener* listener) {
    return makeSlider<VerticalSlider>(listener, Rect(391, 36, 413, 191), 1, 40, 153, kFaderHandle, kFaderTrack,
                                      kSliderTop);
}

void dragOn(Frame& frame, TestWindow& window, std::vector<ScriptedPointer::State> states) {
    Point where(states[0].x, states[0].y);
    window.script().play(std::move(states));
    std::unique_ptr<DrawContext> context(window.createContext(&frame));
    frame.mouseDown(context.get(), where);
}

std::uint32_t gradientPixel(int x, int y) { return 0x010000u | (x << 8) | y; }

namespace {

struct StoredImage {
    std::vector<std::uint32_t> pixels;
    EmbeddedImage image;
};

std::map<int, StoredImage>& images() {
    static std::map<int, StoredImage> table;
    return table;
}

void add(int id, int width, int height, std::vector<std::uint32_t> pixels) {
    StoredImage& stored = images()[id];
    stored.pixels = std::move(pixels);
    stored.image = EmbeddedImage{id, width, height, stored.pixels.data()};
}

void addSolid(int id, int width, int height, std::uint32_t rgb) {
    add(id, width, height, std::vector<std::uint32_t>(size_t(width) * height, rgb));
}

void buildImages() {
    if (!images().empty()) return;
    add(kTestKeyed, 4, 2, {0xFFFFFF, 0xFEFFFF, 0xFF0000, 0x0000FF, 0x00FF00, 0xFFFFFF, 0x000000, 0x7F7F7F});
    std::vector<std::uint32_t> gradient;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) gradient.push_back(gradientPixel(x, y));
    add(kTestGradient, 64, 64, gradient);
    add(kTestStrip, 2, 6,
        {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, 0x0000FF, 0x0000FF, 0x0000FF,
         0x0000FF});
    addSolid(kKnobBody, 24, 25, 0x808080);
    std::vector<std::uint32_t> dot(49, 0xFFFFFF);
    for (int y = 2; y <= 4; ++y)
        for (int x = 2; x <= 4; ++x) dot[y * 7 + x] = 0x102030;
    add(kKnobHandle, 7, 7, dot);
    addSolid(kPanHandle, 4, 15, 0xE0E0E0);
    addSolid(kPanTrack, 72, 15, 0x202020);
    addSolid(kFaderHandle, 21, 38, 0xD0D0D0);
    addSolid(kFaderTrack, 22, 155, 0x303030);
    addSolid(kMeterOff, 15, 147, 0x101010);
    addSolid(kMeterOn, 15, 147, 0x00FFFF);
    std::vector<std::uint32_t> button(21 * 34, 0x400000);
    for (size_t i = 21 * 17; i < button.size(); ++i) button[i] = 0xFF4040;
    add(kButtonImage, 21, 34, button);
    addSolid(kSplashImage, 40, 30, 0xA0A0A0);
}

}  // namespace

const EmbeddedImage* findEmbeddedImage(int id) {
    buildImages();
    auto found = images().find(id);
    return found == images().end() ? nullptr : &found->second.image;
}

void installTestImages() { setEmbeddedImageLookup(findEmbeddedImage); }
