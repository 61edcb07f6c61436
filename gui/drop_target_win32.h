// OLE drop target of one frame window: accepts dragged text and file lists anywhere in
// the window and hands them to the frame's views at the pointer position.
#pragma once

#include <ole2.h>
#include <windows.h>

class Frame;

class FrameDropTarget : public IDropTarget {
public:
    // The frame is looked up through the window at every call, so a target the system
    // still holds after the frame has gone delivers nothing.
    explicit FrameDropTarget(HWND window);
    virtual ~FrameDropTarget() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    Frame* frame() const;

    LONG count_ = 0;
    bool accept_ = false;
    HWND window_;
};

// A path ending in ".lnk" (any case) replaced by the short path of the shortcut's target.
// The two buffers may be the same; `result` holds 1024 bytes. False leaves it untouched
// when the path is no shortcut.
bool resolveShortcut(const char* path, char* result);
