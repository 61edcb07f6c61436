// The editor session's windows on Windows: pop-up top-level windows whose handles the
// plug-in gets as parents, a message loop that idles the editors from a timer (which also
// fires inside a control's own tracking loop) and runs work sent from the script thread as
// a window message, input through SendInput, and the GDI and USER objects counted through
// the plug-in's hooked imports.
#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/editor_windows.h"
#include "tools/vsthost/gui_counter_win32.h"

#include <ole2.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vsthost {
namespace {

constexpr UINT kRunOnWindowThread = WM_APP + 1;
constexpr UINT kScriptDone = WM_APP + 2;
constexpr const char* kHostClass = "VsthostEditorWindow";

HWND handleOf(const EditorHost& host) { return static_cast<HWND>(host.window); }

// The idle work of the running message loop, called from its timer.
std::function<void()> idleWork;

void CALLBACK idleTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (idleWork) idleWork();
}

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kRunOnWindowThread: (*reinterpret_cast<std::function<void()>*>(lParam))(); return 0;
    case kScriptDone: PostQuitMessage(0); return 0;
    case WM_CLOSE: return 0;  // the script decides when the session ends
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool writeBmp(const std::string& path, HWND window, int width, int height) {
    HDC windowDc = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, previous);
        const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
        const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(height);
        BITMAPFILEHEADER file = {};
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageBytes;
        info.bmiHeader.biSizeImage = imageBytes;
        if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
            ok = std::fwrite(&file, sizeof file, 1, out) == 1 &&
                 std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                 std::fwrite(bits, imageBytes, 1, out) == 1;
            ok = std::fclose(out) == 0 && ok;
        }
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
    return ok;
}

void printGuiCounts(const char* label) {
    GuiObjectCounts counts = guiObjectCounts();
    say("counts: %s gdi-live=%ld user-live=%ld", label, counts.liveGdi(), counts.liveUser());
    for (int kind = 0; kind < kGuiObjectKinds; ++kind) {
        say(" %s=%ld/%ld", guiObjectKindName(kind), counts.created[kind], counts.deleted[kind]);
    }
    say(" unknown-deletes=%ld\n", counts.unknownDeletes);
    HANDLE process = GetCurrentProcess();
    say("gui-resources: %s gdi=%lu user=%lu\n", label,
        static_cast<unsigned long>(GetGuiResources(process, GR_GDIOBJECTS)),
        static_cast<unsigned long>(GetGuiResources(process, GR_USEROBJECTS)));
}

class SendInputInput : public EditorInput {
public:
    explicit SendInputInput(POINT origin) : origin_(origin) {
        screenWidth_ = std::max(2, GetSystemMetrics(SM_CXSCREEN));
        screenHeight_ = std::max(2, GetSystemMetrics(SM_CYSCREEN));
    }

    void moveTo(int x, int y) override {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        const long sx = origin_.x + x;
        const long sy = origin_.y + y;
        input.mi.dx = static_cast<LONG>((sx * 65535 + (screenWidth_ - 1) / 2) / (screenWidth_ - 1));
        input.mi.dy = static_cast<LONG>((sy * 65535 + (screenHeight_ - 1) / 2) / (screenHeight_ - 1));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    }

    void button(bool right, bool down) override {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        if (right)
            input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        else
            input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof input);
    }

    void modifiers(int mods, bool down) override {
        if (mods & kInputControl) key(VK_CONTROL, down);
        if (mods & kInputShift) key(VK_SHIFT, down);
    }

private:
    static void key(WORD vk, bool down) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        SendInput(1, &input, sizeof input);
    }

    POINT origin_;
    long screenWidth_;
    long screenHeight_;
};

class Win32Windows : public EditorWindows {
public:
    ~Win32Windows() override;
    bool start() override;
    bool prepareLibrary(const std::string& path) override;
    bool makeHostWindow(EditorHost& host, int x, int y, const char* title) override;
    void destroyHostWindow(EditorHost& host) override;
    std::string describeChild(EditorHost& host) override;
    bool pump() override;
    void sync() override {}
    void onWindowThread(const std::function<void()>& work) override {
        std::function<void()> call = work;
        SendMessageA(mainWindow_, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&call));
    }
    void serve(const std::function<void()>& idle) override;
    void scriptFinished() override { PostMessageA(mainWindow_, kScriptDone, 0, 0); }
    void placeInput(EditorHost& main) override;
    std::unique_ptr<EditorInput> openInput() override { return std::make_unique<SendInputInput>(origin_); }
    bool screenshot(EditorHost& host, const std::string& path) override;
    void printCounts(const char* label, EditorHost&, EditorHost&) override { printGuiCounts(label); }
    void printClassState(EditorHost&, EditorHost&) override;

private:
    bool oleStarted_ = false;
    HMODULE module_ = nullptr;
    char className_[32] = "";
    HWND mainWindow_ = nullptr;  // the first window made: the script's work goes there
    POINT origin_ = {0, 0};
};

Win32Windows::~Win32Windows() {
    if (module_) FreeLibrary(module_);
    if (oleStarted_) OleUninitialize();
}

bool Win32Windows::start() {
    OleInitialize(nullptr);
    oleStarted_ = true;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    if (RegisterClassA(&wc) == 0) {
        std::fprintf(stderr, "vsthost: cannot register the host window class\n");
        return false;
    }
    return true;
}

// Loads the library first without its entry point, so that the counters see everything
// the plug-in creates.
bool Win32Windows::prepareLibrary(const std::string& path) {
    module_ = LoadLibraryA(path.c_str());
    if (!module_) {
        std::fprintf(stderr, "vsthost: cannot load %s (error %lu)\n", path.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return false;
    }
    say("counters: %d imports hooked\n", installGuiCounters(module_));
    std::snprintf(className_, sizeof className_, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module_)));
    return true;
}

bool Win32Windows::makeHostWindow(EditorHost& host, int x, int y, const char* title) {
    // A pop-up has no frame: its client area is the window, at a known place on screen.
    HWND window = CreateWindowExA(0, kHostClass, title, WS_POPUP | WS_VISIBLE, x, y, host.width(), host.height(),
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!mainWindow_) mainWindow_ = window;
    host.window = window;
    return window != nullptr;
}

void Win32Windows::destroyHostWindow(EditorHost& host) {
    if (!host.window) return;
    DestroyWindow(handleOf(host));
    host.window = nullptr;
}

std::string Win32Windows::describeChild(EditorHost& host) {
    HWND child = GetWindow(handleOf(host), GW_CHILD);
    char name[64] = "";
    if (child) GetClassNameA(child, name, sizeof name);
    RECT client = {0, 0, 0, 0};
    if (child) GetClientRect(child, &client);
    char text[128];
    std::snprintf(text, sizeof text, "%s class=%s size=%ldx%ld", child ? "yes" : "no", name,
                  static_cast<long>(client.right), static_cast<long>(client.bottom));
    return text;
}

bool Win32Windows::pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return true;
}

void Win32Windows::serve(const std::function<void()>& idle) {
    idleWork = idle;
    const UINT_PTR timer = SetTimer(nullptr, 0, kIdleMs, idleTimer);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    KillTimer(nullptr, timer);
    idleWork = nullptr;
}

void Win32Windows::placeInput(EditorHost& main) {
    // Keyboard input (the Ctrl and Shift of clicks) goes to the foreground window's queue.
    SetForegroundWindow(handleOf(main));
    SetFocus(handleOf(main));
    ClientToScreen(handleOf(main), &origin_);
}

bool Win32Windows::screenshot(EditorHost& host, const std::string& path) {
    HWND child = GetWindow(handleOf(host), GW_CHILD);
    return writeBmp(path, child ? child : handleOf(host), host.width(), host.height());
}

void Win32Windows::printClassState(EditorHost&, EditorHost&) {
    WNDCLASSA wc;
    bool registered = GetClassInfoA(module_, className_, &wc) != 0;
    say("class: %s %s\n", className_, registered ? "registered" : "absent");
}

}  // namespace

std::unique_ptr<EditorWindows> EditorWindows::create() { return std::make_unique<Win32Windows>(); }

}  // namespace vsthost
