// The frame's child window on Windows: created inside the host's window at the frame's
// size, found again by the window procedure through the frame pointer stored with it.
#pragma once

#include <windows.h>

#include "gui/frame_window.h"

class Win32FrameWindow : public FrameWindow {
public:
    Win32FrameWindow(Frame* frame, HWND parent, const Rect& size);
    ~Win32FrameWindow() override;

    DrawContext* createContext(Frame* frame) override;
    void releaseContext(DrawContext* context) override;
    Point origin() override;
    PointerInput& pointer() override;
    void setCursor(int type) override;
    bool setDropEnabled(bool enabled) override;
    void detachFrame() override;
    void resize(int width, int height) override;
    void* nativeHandle() override { return window_; }

private:
    Frame* frame_;
    HWND window_ = nullptr;
    bool dropsRegistered_ = false;
    HCURSOR defaultCursor_ = nullptr;
};

// The factory the frame uses on Windows (installed by the platform start-up when no other
// factory is set).
FrameWindow* createWin32FrameWindow(Frame* frame, void* parentWindow, const Rect& size);
