#include "tools/vsthost/gui_counter_win32.h"

#include "tools/vsthost/import_patch_win32.h"

#include <cstring>
#include <map>
#include <mutex>

namespace vsthost {
namespace {

std::mutex lock;
GuiObjectCounts counts;
std::map<void*, int> liveObjects;  // GDI handle -> kind

template <typename Handle>
Handle made(Handle handle, int kind) {
    if (handle) {
        std::lock_guard<std::mutex> guard(lock);
        ++counts.created[kind];
        liveObjects[reinterpret_cast<void*>(handle)] = kind;
    }
    return handle;
}

void freed(void* handle) {
    std::lock_guard<std::mutex> guard(lock);
    auto found = liveObjects.find(handle);
    if (found == liveObjects.end()) {
        ++counts.unknownDeletes;
        return;
    }
    ++counts.deleted[found->second];
    liveObjects.erase(found);
}

void counted(int kind, bool created) {
    std::lock_guard<std::mutex> guard(lock);
    ++(created ? counts.created : counts.deleted)[kind];
}

HPEN WINAPI countedCreatePenIndirect(const LOGPEN* pen) { return made(CreatePenIndirect(pen), kPenObject); }
HPEN WINAPI countedCreatePen(int style, int width, COLORREF color) {
    return made(CreatePen(style, width, color), kPenObject);
}
HBRUSH WINAPI countedCreateBrushIndirect(const LOGBRUSH* brush) {
    return made(CreateBrushIndirect(brush), kBrushObject);
}
HBRUSH WINAPI countedCreateSolidBrush(COLORREF color) { return made(CreateSolidBrush(color), kBrushObject); }
HFONT WINAPI countedCreateFontIndirectA(const LOGFONTA* font) { return made(CreateFontIndirectA(font), kFontObject); }
HBITMAP WINAPI countedCreateCompatibleBitmap(HDC dc, int w, int h) {
    return made(CreateCompatibleBitmap(dc, w, h), kBitmapObject);
}
HBITMAP WINAPI countedCreateBitmap(int w, int h, UINT planes, UINT bits, const void* data) {
    return made(CreateBitmap(w, h, planes, bits, data), kBitmapObject);
}
HBITMAP WINAPI countedCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                       DWORD offset) {
    return made(CreateDIBSection(dc, info, usage, bits, section, offset), kBitmapObject);
}
HBITMAP WINAPI countedLoadBitmapA(HINSTANCE instance, LPCSTR name) {
    return made(LoadBitmapA(instance, name), kBitmapObject);
}
HDC WINAPI countedCreateCompatibleDC(HDC dc) { return made(CreateCompatibleDC(dc), kMemoryDc); }
BOOL WINAPI countedDeleteObject(HGDIOBJ object) {
    BOOL done = DeleteObject(object);
    if (done) freed(object);
    return done;
}
BOOL WINAPI countedDeleteDC(HDC dc) {
    BOOL done = DeleteDC(dc);
    if (done) freed(dc);
    return done;
}
HDC WINAPI countedGetDC(HWND window) {
    HDC dc = GetDC(window);
    if (dc) counted(kWindowDc, true);
    return dc;
}
int WINAPI countedReleaseDC(HWND window, HDC dc) {
    int done = ReleaseDC(window, dc);
    if (done) counted(kWindowDc, false);
    return done;
}
HWND WINAPI countedCreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR name, DWORD style, int x, int y, int w,
                                   int h, HWND parent, HMENU menu, HINSTANCE instance, void* param) {
    HWND window = CreateWindowExA(exStyle, className, name, style, x, y, w, h, parent, menu, instance, param);
    if (window) counted(kWindowObject, true);
    return window;
}
BOOL WINAPI countedDestroyWindow(HWND window) {
    BOOL done = DestroyWindow(window);
    if (done) counted(kWindowObject, false);
    return done;
}

struct Hook {
    const char* name;
    void* replacement;
};

const Hook kHooks[] = {
    {"CreatePenIndirect", reinterpret_cast<void*>(&countedCreatePenIndirect)},
    {"CreatePen", reinterpret_cast<void*>(&countedCreatePen)},
    {"CreateBrushIndirect", reinterpret_cast<void*>(&countedCreateBrushIndirect)},
    {"CreateSolidBrush", reinterpret_cast<void*>(&countedCreateSolidBrush)},
    {"CreateFontIndirectA", reinterpret_cast<void*>(&countedCreateFontIndirectA)},
    {"CreateCompatibleBitmap", reinterpret_cast<void*>(&countedCreateCompatibleBitmap)},
    {"CreateBitmap", reinterpret_cast<void*>(&countedCreateBitmap)},
    {"CreateDIBSection", reinterpret_cast<void*>(&countedCreateDIBSection)},
    {"LoadBitmapA", reinterpret_cast<void*>(&countedLoadBitmapA)},
    {"CreateCompatibleDC", reinterpret_cast<void*>(&countedCreateCompatibleDC)},
    {"DeleteObject", reinterpret_cast<void*>(&countedDeleteObject)},
    {"DeleteDC", reinterpret_cast<void*>(&countedDeleteDC)},
    {"GetDC", reinterpret_cast<void*>(&countedGetDC)},
    {"ReleaseDC", reinterpret_cast<void*>(&countedReleaseDC)},
    {"CreateWindowExA", reinterpret_cast<void*>(&countedCreateWindowExA)},
    {"DestroyWindow", reinterpret_cast<void*>(&countedDestroyWindow)},
};

void* replacementFor(const char* name) {
    for (const Hook& hook : kHooks)
        if (std::strcmp(hook.name, name) == 0) return hook.replacement;
    return nullptr;
}

}  // namespace

long GuiObjectCounts::liveGdi() const {
    return live(kPenObject) + live(kBrushObject) + live(kFontObject) + live(kBitmapObject) + live(kMemoryDc);
}

long GuiObjectCounts::liveUser() const { return live(kWindowObject) + live(kWindowDc); }

int installGuiCounters(HMODULE module) {
    static const char* const kLibraries[] = {"gdi32.dll", "user32.dll"};
    return patchImports(module, kLibraries, 2, replacementFor);
}

GuiObjectCounts guiObjectCounts() {
    std::lock_guard<std::mutex> guard(lock);
    return counts;
}

const char* guiObjectKindName(int kind) {
    static const char* const kNames[] = {"pen", "brush", "font", "bitmap", "memory-dc", "window-dc", "window"};
    return kind >= 0 && kind < kGuiObjectKinds ? kNames[kind] : "?";
}

}  // namespace vsthost
