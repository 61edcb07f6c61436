#include <emscripten/emscripten.h>

#include "editor/editor_platform.h"
#include "gui/frame_window.h"
#include "gui/frame_window_web.h"
#include "gui/image_lookup.h"
#include "resources/embedded_images.h"

// The page runs the panel on its one thread.
std::uintptr_t currentThreadId() { return 1; }

namespace {

std::uint32_t tickCount() { return static_cast<std::uint32_t>(emscripten_get_now()); }

// The page's turn: while a control tracks a drag, the sleep is where the browser delivers
// the pointer's moves and the worklet's readings (the module is built with Asyncify).
void sleepFor(std::uint32_t millis) { emscripten_sleep(millis); }

void showDrawn() { showFrameWindows(); }

// No OLE in a browser: the page takes dropped files itself.
void noOle() {}

}  // namespace

const EditorPlatform& systemEditorPlatform() {
    static const EditorPlatform platform{tickCount, sleepFor, showDrawn, noOle, noOle};
    return platform;
}

// The panel's bitmaps are compiled in, and its window is the page's canvas.
void installPanelImages() {
    setEmbeddedImageLookup(findEmbeddedImage);
    setEmbeddedScaledImageLookup(findEmbeddedScaledImage);
    if (!frameWindowFactory()) setFrameWindowFactory(createWebFrameWindow);
}
