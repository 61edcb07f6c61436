#include <ole2.h>
#include <windows.h>

#include "gui/draw_context.h"
#include "gui/frame.h"
#include "gui/frame_window.h"
#include "gui/frame_window_win32.h"
#include "gui/keyed_scaled_win32.h"
#include "gui/module_instance.h"
#include "gui/platform.h"
#include "gui/png_image_win32.h"
#include "gui/pointer_input.h"
#include "gui/surface_win32.h"

namespace {

TransparentBltProc transparentBlt = nullptr;

void* moduleHandle = nullptr;

bool keyDown(int key) { return GetAsyncKeyState(key) < 0; }

// Reads the physical state now, not the state a message carried.
class Win32Pointer : public PointerInput {
public:
    int buttons() override {
        bool swapped = swappedButtons();
        int result = 0;
        if (keyDown(VK_LBUTTON)) result |= swapped ? kButtonRight : kButtonLeft;
        if (keyDown(VK_MBUTTON)) result |= kButtonMiddle;
        if (keyDown(VK_RBUTTON)) result |= swapped ? kButtonLeft : kButtonRight;
        if (keyDown(VK_SHIFT)) result |= kModShift;
        if (keyDown(VK_CONTROL)) result |= kModControl;
        if (keyDown(VK_MENU)) result |= kModAlt;
        return result;
    }
    Point screenLocation() override {
        POINT where = {0, 0};
        GetCursorPos(&where);
        return Point(where.x, where.y);
    }
};

struct FramePlatform {
    HMODULE msimg32;
};

HDC dcOf(DrawSurface& surface) { return static_cast<GdiSurface&>(surface).dc(); }

}  // namespace

void setGuiModuleInstance(void* instance) { moduleHandle = instance; }

void* guiModuleInstance() {
    if (!moduleHandle) {
        // Not set by the entry point: the module that contains this code.
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&guiModuleInstance), &self);
        return self;
    }
    return moduleHandle;
}

PointerInput& systemPointer() {
    static Win32Pointer pointer;
    return pointer;
}

void* startFramePlatform() {
    // Frames get the Win32 child window unless someone installed another window layer.
    if (!frameWindowFactory()) setFrameWindowFactory(createWin32FrameWindow);
    OleInitialize(nullptr);
    transparentBlt = nullptr;
    auto* platform = new FramePlatform{LoadLibraryA("msimg32.dll")};
    if (platform->msimg32) {
        OSVERSIONINFOEXA version = {};
        version.dwOSVersionInfoSize = sizeof version;  // 156 bytes
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
        BOOL known = GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version));
#pragma GCC diagnostic pop
        if (known && version.dwPlatformId >= VER_PLATFORM_WIN32_NT) {
            transparentBlt = reinterpret_cast<TransparentBltProc>(
                reinterpret_cast<void*>(GetProcAddress(platform->msimg32, "TransparentBlt")));
        }
    }
    return platform;
}

void stopFramePlatform(void* handle) {
    auto* platform = static_cast<FramePlatform*>(handle);
    OleUninitialize();
    if (platform && platform->msimg32) FreeLibrary(platform->msimg32);
    delete platform;
}

TransparentBltProc keyedBlitEntry() { return transparentBlt; }
void setKeyedBlitEntry(TransparentBltProc entry) { transparentBlt = entry; }

void keyedBlit(HDC target, int x, int y, int w, int h, HDC source, int sx, int sy, COLORREF key) {
    if (transparentBlt) {
        transparentBlt(target, x, y, w, h, source, sx, sy, w, h, key);
        return;
    }
    // Mask where the source equals the key, then invert-and-mask so those pixels stay.
    HDC maskDc = CreateCompatibleDC(target);
    COLORREF oldBack = SetBkColor(target, RGB(255, 255, 255));
    COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ previous = SelectObject(maskDc, mask);
    COLORREF oldSourceBack = SetBkColor(source, key);
    BitBlt(maskDc, 0, 0, w, h, source, sx, sy, SRCCOPY);
    SetBkColor(source, oldSourceBack);
    BitBlt(target, x, y, w, h, source, sx, sy, SRCINVERT);
    BitBlt(target, x, y, w, h, maskDc, 0, 0, SRCAND);
    BitBlt(target, x, y, w, h, source, sx, sy, SRCINVERT);
    SelectObject(maskDc, previous);
    DeleteObject(mask);
    DeleteDC(maskDc);
    SetBkColor(target, oldBack);
    SetTextColor(target, oldText);
}

DrawSurface* createOffscreenSurface(Frame* frame, int width, int height) {
    HWND window = nullptr;
    if (frame && frame->window()) window = static_cast<HWND>(frame->window()->nativeHandle());
    HDC windowDc = GetDC(window);
    auto* surface = new GdiMemorySurface(windowDc, width, height);
    ReleaseDC(window, windowDc);
    return surface;
}

void copySurface(DrawSurface& target, int x, int y, int w, int h, DrawSurface& source, int sx, int sy) {
    BitBlt(dcOf(target), x, y, w, h, dcOf(source), sx, sy, SRCCOPY);
}

void* loadBitmapImage(int resourceId, int& width, int& height) {
    HBITMAP bitmap = LoadBitmapA(static_cast<HINSTANCE>(guiModuleInstance()), MAKEINTRESOURCEA(resourceId & 0xFFFF));
    if (!bitmap) return nullptr;
    BITMAP info;
    if (GetObjectA(bitmap, sizeof info, &info) == int(sizeof info)) {
        width = info.bmWidth;
        height = info.bmHeight;
    }
    return bitmap;
}

void freeBitmapImage(void* image) { DeleteObject(static_cast<HBITMAP>(image)); }

void drawBitmapImage(void* image, DrawContext& context, const Rect& r, Point offset, bool keyed, Color key) {
    if (!context.surface()) return;
    HDC target = dcOf(*context.surface());
    Point shift = context.drawingOffset();
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memory, static_cast<HBITMAP>(image));
    if (keyed) {
        keyedBlit(target, r.left + shift.h, r.top + shift.v, r.width(), r.height(), memory, offset.h, offset.v,
                  key.rgb());
    } else {
        BitBlt(target, r.left + shift.h, r.top + shift.v, r.width(), r.height(), memory, offset.h, offset.v, SRCCOPY);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}

// The larger sets are PNG resources of the types PNG150 and PNG200, by the same ids.
void* loadScaledBitmapImage(int resourceId, int percent, int& width, int& height) {
    char type[16];
    wsprintfA(type, "PNG%d", percent);
    HMODULE module = static_cast<HMODULE>(guiModuleInstance());
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;
    return decodePng(bytes, SizeofResource(module, found), width, height);
}

void drawBitmapImageScaled(void* image, DrawContext& context, const Rect& r, double sx, double sy, double factor,
                           bool keyed, Color key) {
    if (!context.surface()) return;
    HDC target = dcOf(*context.surface());
    const int w = r.width(), h = r.height();
    if (keyed && factor != 1.0) {
        drawKeyedScaled(target, r, static_cast<HBITMAP>(image), sx, sy, factor, key.rgb());
        return;
    }
    HDC memory = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(memory, static_cast<HBITMAP>(image));
    if (keyed) {
        keyedBlit(target, r.left, r.top, w, h, memory, int(sx), int(sy), key.rgb());
    } else if (factor == 1.0) {
        BitBlt(target, r.left, r.top, w, h, memory, int(sx), int(sy), SRCCOPY);
    } else {
        // Smoothly, leaving the target's stretch mode and brush origin as they were.
        const int mode = SetStretchBltMode(target, HALFTONE);
        POINT origin = {0, 0};
        SetBrushOrgEx(target, 0, 0, &origin);
        StretchBlt(target, r.left, r.top, w, h, memory, int(sx), int(sy), int(w / factor + 0.5), int(h / factor + 0.5),
                   SRCCOPY);
        SetBrushOrgEx(target, origin.x, origin.y, nullptr);
        SetStretchBltMode(target, mode);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
}
