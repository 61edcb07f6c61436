#include "gui/drop_target_win32.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <new>
#include <vector>

#include "gui/frame.h"

namespace {

constexpr int kPathBytes = 1024;

FORMATETC formatOf(CLIPFORMAT format) {
    FORMATETC f = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return f;
}

void deliverText(Frame* frame, HGLOBAL memory) {
    void* text = GlobalLock(memory);
    SIZE_T size = GlobalSize(memory);
    if (text && size) {
        Point where;
        frame->mouseLocation(where);
        void* items[1] = {text};
        frame->acceptDrop(items, static_cast<int>(size), kDropText, where);
    }
    if (text) GlobalUnlock(memory);
}

void deliverFiles(Frame* frame, HGLOBAL memory) {
    auto drop = static_cast<HDROP>(memory);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 0) return;
    std::vector<char*> paths;
    for (UINT i = 0; i < count; ++i) {
        char buffer[kPathBytes];
        if (DragQueryFileA(drop, i, buffer, kPathBytes) == 0) continue;
        resolveShortcut(buffer, buffer);
        auto* copy = new (std::nothrow) char[kPathBytes];
        if (!copy) continue;
        std::memcpy(copy, buffer, kPathBytes);
        paths.push_back(copy);
    }
    Point where;
    frame->mouseLocation(where);
    frame->acceptDrop(reinterpret_cast<void**>(paths.data()), static_cast<int>(paths.size()), kDropFiles, where);
    for (char* path : paths) delete[] path;
}

}  // namespace

FrameDropTarget::FrameDropTarget(HWND window) : window_(window) {}

Frame* FrameDropTarget::frame() const { return reinterpret_cast<Frame*>(GetWindowLongPtrA(window_, GWLP_USERDATA)); }

HRESULT STDMETHODCALLTYPE FrameDropTarget::QueryInterface(REFIID iid, void** object) {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        AddRef();
        *object = static_cast<IDropTarget*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE FrameDropTarget::AddRef() { return static_cast<ULONG>(++count_); }

ULONG STDMETHODCALLTYPE FrameDropTarget::Release() {
    LONG count = --count_;
    if (count <= 0) {
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) {
    FORMATETC text = formatOf(CF_TEXT);
    FORMATETC files = formatOf(CF_HDROP);
    accept_ = data && (data->QueryGetData(&text) == S_OK || data->QueryGetData(&files) == S_OK);
    return DragOver(keyState, point, effect);
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragOver(DWORD keyState, POINTL, DWORD* effect) {
    // The whole window accepts; Ctrl asks for a copy.
    if (effect) {
        if (!accept_)
            *effect = DROPEFFECT_NONE;
        else
            *effect = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FrameDropTarget::DragLeave() { return S_OK; }

HRESULT STDMETHODCALLTYPE FrameDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD*) {
    Frame* target = frame();
    if (target && data) {
        FORMATETC text = formatOf(CF_TEXT);
        FORMATETC files = formatOf(CF_HDROP);
        STGMEDIUM medium = {};
        int kind = -1;
        if (data->GetData(&text, &medium) == S_OK) {
            kind = kDropText;
        } else if (data->GetData(&files, &medium) == S_OK) {
            kind = kDropFiles;
        }
        if (kind >= 0 && medium.hGlobal) {
            if (kind == kDropText)
                deliverText(target, medium.hGlobal);
            else
                deliverFiles(target, medium.hGlobal);
        }
        if (kind >= 0) ReleaseStgMedium(&medium);
    }
    DragLeave();
    return S_OK;
}

bool resolveShortcut(const char* path, char* result) {
    const char* dot = std::strrchr(path, '.');
    if (!dot || _stricmp(dot, ".lnk") != 0) return false;
    IShellLinkA* link = nullptr;
    HRESULT status = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(status)) return false;
    IPersistFile* file = nullptr;
    status = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(status)) {
        WCHAR wide[2048];
        MultiByteToWideChar(CP_ACP, 0, path, -1, wide, 2048);
        status = file->Load(wide, STGM_READ);
        // No user interface; give up on a moved target after 500 ms.
        if (SUCCEEDED(status)) status = link->Resolve(nullptr, 0x01F40003);
        if (SUCCEEDED(status)) {
            // The path is read into a copy: the result buffer may be the path itself.
            char target[kPathBytes];
            WIN32_FIND_DATAA found;
            status = link->GetPath(target, kPathBytes, &found, SLGP_SHORTPATH);
            if (SUCCEEDED(status)) std::memcpy(result, target, kPathBytes);
        }
        file->Release();
    }
    link->Release();
    return SUCCEEDED(status);
}
