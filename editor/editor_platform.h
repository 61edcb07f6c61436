// The operating-system services the editor base needs: a millisecond tick count, a short
// sleep, one pending repaint of the editor window, and the OLE pairing around the editor's
// life. Each platform supplies a set; tests and window layers may install their own.
#pragma once

#include <cstdint>

struct EditorPlatform {
    std::uint32_t (*tickCount)();  // milliseconds, wrapping at 2^32
    void (*sleep)(std::uint32_t millis);
    void (*dispatchPendingPaint)();  // handles at most one waiting repaint, if any
    void (*startOle)();
    void (*stopOle)();
};

// The calling thread's identity from the operating system itself. Asking the C++ library
// instead may allocate on a thread it did not start, such as a host's audio thread.
std::uintptr_t currentThreadId();

// The services of the platform the library was built for.
const EditorPlatform& systemEditorPlatform();

// What editors use from now on; starts as the system's. A window layer that needs its own
// repaint hook copies the current set, changes that entry and installs the copy.
const EditorPlatform& editorPlatform();
void setEditorPlatform(const EditorPlatform& platform);

// Makes the panel's bitmaps reachable by resource id where they are not resources of the
// library (natively: the compiled-in images). Harmless to call more than once.
void installPanelImages();
