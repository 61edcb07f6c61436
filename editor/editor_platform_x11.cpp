#include <pthread.h>

#include <cerrno>
#include <ctime>

#include "editor/editor_platform.h"
#include "gui/frame_window.h"
#include "gui/frame_window_x11.h"
#include "gui/image_lookup.h"
#include "resources/embedded_images.h"

std::uintptr_t currentThreadId() { return static_cast<std::uintptr_t>(pthread_self()); }

namespace {

std::uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(now.tv_sec) * 1000u +
                                      static_cast<std::uint64_t>(now.tv_nsec) / 1000000u);
}

void sleepFor(std::uint32_t millis) {
    timespec wait{static_cast<time_t>(millis / 1000u), static_cast<long>(millis % 1000u) * 1000000L};
    while (nanosleep(&wait, &wait) == -1 && errno == EINTR) {}
}

// Exposed parts of the editor windows, repainted while a control tracks a drag.
void dispatchPendingPaint() { dispatchPendingFramePaints(); }

// No OLE here: drops arrive through the window layer's own protocol.
void noOle() {}

}  // namespace

const EditorPlatform& systemEditorPlatform() {
    static const EditorPlatform platform{tickCount, sleepFor, dispatchPendingPaint, noOle, noOle};
    return platform;
}

// The panel's bitmaps are compiled in, and its window is an X11 child of the host's window
// unless a window layer has been installed already.
void installPanelImages() {
    setEmbeddedImageLookup(findEmbeddedImage);
    setEmbeddedScaledImageLookup(findEmbeddedScaledImage);
    if (!frameWindowFactory()) setFrameWindowFactory(createX11FrameWindow);
}
