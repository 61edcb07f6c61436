#include "gui/frame_window_web.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <new>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/surface_web.h"

namespace {

// clang-format off
// The page's pointer record: buttons as the DOM counts them (1 primary, 2 secondary, 4 middle),
// the modifier keys as booleans, and the position in canvas pixels.
EM_JS(int, hallmere_pointer_dom_buttons, (), { return Module.pointer ? Module.pointer.buttons : 0; });
EM_JS(int, hallmere_pointer_modifiers, (), {
    const p = Module.pointer;
    return p ? (p.shiftKey ? 1 : 0) | (p.ctrlKey ? 2 : 0) | (p.altKey ? 4 : 0) : 0;
});
EM_JS(int, hallmere_pointer_x, (), { return Module.pointer ? Module.pointer.x : 0; });
EM_JS(int, hallmere_pointer_y, (), { return Module.pointer ? Module.pointer.y : 0; });
EM_JS(void, hallmere_show_image, (const void* rgba, int width, int height), {
    if (Module.showPanel) Module.showPanel(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
});
EM_JS(void, hallmere_set_cursor, (const char* css), {
    if (Module.setPanelCursor) Module.setPanelCursor(UTF8ToString(css));
});
// clang-format on

class PagePointer : public PointerInput {
public:
    int buttons() override {
        const int dom = hallmere_pointer_dom_buttons(), keys = hallmere_pointer_modifiers();
        int result = 0;
        if (dom & 1) result |= kButtonLeft;
        if (dom & 2) result |= kButtonRight;
        if (dom & 4) result |= kButtonMiddle;
        if (keys & 1) result |= kModShift;
        if (keys & 2) result |= kModControl;
        if (keys & 4) result |= kModAlt;
        return result;
    }
    Point screenLocation() override { return Point(hallmere_pointer_x(), hallmere_pointer_y()); }
};

// 0x00RRGGBB to the canvas's byte order, R G B A.
std::uint32_t canvasPixel(std::uint32_t rgb) {
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace

namespace {
std::vector<WebFrameWindow*> liveWindows;
}  // namespace

PointerInput& pagePointer() {
    static PagePointer pointer;
    return pointer;
}

WebFrameWindow::WebFrameWindow(Frame* frame, const Rect& size)
    : frame_(frame),
      width_(std::max(1, size.width())),
      height_(std::max(1, size.height())),
      image_(std::size_t(width_) * height_),
      shown_(image_.size()) {
    liveWindows.push_back(this);
}

WebFrameWindow::~WebFrameWindow() {
    liveWindows.erase(std::remove(liveWindows.begin(), liveWindows.end(), this), liveWindows.end());
}

DrawContext* WebFrameWindow::createContext(Frame* frame) {
    auto* surface = new (std::nothrow) WebSurface(image_.data(), width_, height_);
    DrawContext* context = surface ? new (std::nothrow) DrawContext(frame, surface, this) : nullptr;
    if (!context) delete surface;
    return context;
}

void WebFrameWindow::releaseContext(DrawContext* context) {
    delete context;
    show();
}

void WebFrameWindow::setCursor(int type) {
    // The toolkit's cursors by number, as CSS names them.
    static const char* const kCursors[] = {"default",     "wait",        "ew-resize",  "ns-resize",
                                           "move",        "nesw-resize", "nwse-resize"};
    if (type >= 0 && type < int(sizeof kCursors / sizeof kCursors[0])) hallmere_set_cursor(kCursors[type]);
}

void WebFrameWindow::resize(int width, int height) {
    width_ = std::max(1, width);
    height_ = std::max(1, height);
    image_.assign(std::size_t(width_) * height_, 0);
    shown_.assign(image_.size(), 0);
}

void WebFrameWindow::paintAll() {
    if (!frame_) return;
    DrawContext* context = createContext(frame_);
    if (!context) return;
    frame_->drawInRect(context, Rect(0, 0, width_, height_));
    releaseContext(context);
}

void WebFrameWindow::pressAt(int x, int y) {
    if (!frame_) return;
    DrawContext* context = createContext(frame_);
    if (!context) return;
    Point where(x, y);
    frame_->mouseDown(context, where);
    releaseContext(context);
}

void WebFrameWindow::show() {
    std::transform(image_.begin(), image_.end(), shown_.begin(), canvasPixel);
    hallmere_show_image(shown_.data(), width_, height_);
}

FrameWindow* createWebFrameWindow(Frame* frame, void* parentWindow, const Rect& size) {
    if (!parentWindow) return nullptr;
    return new (std::nothrow) WebFrameWindow(frame, size);
}

void showFrameWindows() {
    for (WebFrameWindow* window : liveWindows) window->show();
}
