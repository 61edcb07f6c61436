#include <windows.h>
#include <ole2.h>

#include "editor/editor_platform.h"

std::uintptr_t currentThreadId() { return GetCurrentThreadId(); }

namespace {

std::uint32_t tickCount() { return GetTickCount(); }

void sleepFor(std::uint32_t millis) { Sleep(millis); }

// Only paints: a drag must keep the panel drawn without running the host's other messages.
void dispatchPendingPaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

// The drop target of the editor window needs OLE on this thread; a failure only costs drops.
void startOle() { (void)OleInitialize(nullptr); }

void stopOle() { OleUninitialize(); }

}  // namespace

const EditorPlatform& systemEditorPlatform() {
    static const EditorPlatform platform{tickCount, sleepFor, dispatchPendingPaint, startOle, stopOle};
    return platform;
}

// Windows builds load the panel's bitmaps from the library's resources.
void installPanelImages() {}
