// The window class of the frame windows: one per loaded copy of the library, named after
// its module handle, registered while at least one frame window exists.
#pragma once

#include <windows.h>

// "Plugin%08x" of the module handle; formatted at the first registration.
const char* frameWindowClassName();
// Counted: the first call registers the class (and reads the swapped-buttons setting),
// the matching last unregister removes it.
void registerFrameWindowClass();
void unregisterFrameWindowClass();
int frameWindowClassUseCount();

LRESULT CALLBACK frameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
