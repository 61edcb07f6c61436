// The frame's window on a web page: an image in the module's memory that the page shows in
// its canvas after each paint, and the page's pointer. The page routes its canvas events
// here as a window system would: a press to pressAt, while the pointer's state follows the
// page's own events (which keep arriving while a control tracks a drag, because the
// toolkit's idle sleep hands the page its turn).
#pragma once

#include <cstdint>
#include <vector>

#include "gui/frame_window.h"
#include "gui/pointer_input.h"

// The pointer as the page last reported it: buttons with modifiers (kButton*, kMod*) and
// the position in canvas pixels.
PointerInput& pagePointer();

class WebFrameWindow : public FrameWindow {
public:
    WebFrameWindow(Frame* frame, const Rect& size);
    ~WebFrameWindow() override;

    DrawContext* createContext(Frame* frame) override;
    void releaseContext(DrawContext* context) override;
    Point origin() override { return Point(); }
    PointerInput& pointer() override { return pagePointer(); }
    void setCursor(int type) override;
    // The page takes dropped files itself; the panel accepts none.
    bool setDropEnabled(bool enabled) override { return !enabled; }
    void detachFrame() override { frame_ = nullptr; }
    void* nativeHandle() override { return nullptr; }
    void resize(int width, int height) override;

    // The whole panel drawn afresh and shown, as on an expose of the window.
    void paintAll();
    // A press at (x, y) in canvas pixels; returns once the control under it lets go.
    void pressAt(int x, int y);
    // The image as it is now, shown in the canvas.
    void show();

private:

    Frame* frame_;
    int width_;
    int height_;
    std::vector<std::uint32_t> image_;
    std::vector<std::uint32_t> shown_;  // the image as RGBA bytes for the canvas
};

FrameWindow* createWebFrameWindow(Frame* frame, void* parentWindow, const Rect& size);

// Shows what every open panel has drawn so far: the idle pump calls it while a control's
// drag holds its context open, which no release would otherwise show until the drag ends.
void showFrameWindows();
