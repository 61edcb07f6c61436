// The editor session on Windows: a top-level window of the editor's size holds the
// plug-in's editor; its thread answers window messages and calls effEditIdle about 30
// times a second, an audio thread keeps processReplacing running at the pace of real
// time, and a script thread plays the steps. Mouse input goes through SendInput from the
// script thread, so that a control tracking a drag keeps the window thread busy exactly
// as with a real mouse.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_gestures.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/gui_counter_win32.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/plugin.h"
#include "tools/vsthost/signals.h"

#include <ole2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <chrono>
#include <cstdio>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vsthost {
namespace {

constexpr UINT kRunOnWindowThread = WM_APP + 1;
constexpr UINT kScriptDone = WM_APP + 2;
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleMs = 33;
constexpr const char* kHostClass = "VsthostEditorWindow";

void pauseMs(int ms) { Sleep(static_cast<DWORD>(ms)); }



// ---- one plug-in instance with its editor in a top-level window ----

struct EditorHost {
    Plugin plugin;
    HWND window = nullptr;
    bool open = false;
    ERect rect = {0, 0, 0, 0};

    bool openEditor() {
        if (open) return true;
        // The answer of effEditOpen varies between plug-ins; the child window tells more.
        plugin.dispatch(effEditOpen, 0, 0, window);
        open = true;
        return true;
    }
    void closeEditor() {
        if (!open) return;
        plugin.dispatch(effEditClose);
        open = false;
    }
    void idle() {
        if (open) plugin.dispatch(effEditIdle);
    }
};

LRESULT CALLBACK hostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            auto* host = reinterpret_cast<EditorHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
            if (host) host->idle();
            return 0;
        }
        case kRunOnWindowThread:
            (*reinterpret_cast<std::function<void()>*>(lParam))();
            return 0;
        case kScriptDone:
            PostQuitMessage(0);
            return 0;
        case WM_CLOSE:
            return 0;  // the script decides when the session ends
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool registerHostClass() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hostWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    return RegisterClassA(&wc) != 0;
}

HWND makeHostWindow(EditorHost& host, int x, int y, const char* title) {
    const int width = host.rect.right - host.rect.left;
    const int height = host.rect.bottom - host.rect.top;
    // A pop-up has no frame: its client area is the window, at a known place on screen.
    HWND window = CreateWindowExA(0, kHostClass, title, WS_POPUP | WS_VISIBLE, x, y, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window) {
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
        SetTimer(window, kIdleTimer, kIdleMs, nullptr);
    }
    host.window = window;
    return window;
}

// Lets everything queued for this thread happen, with an editor idle call in between.
void settleWindowThread(EditorHost& host, int rounds = 3) {
    for (int i = 0; i < rounds; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        host.idle();
        Sleep(5);
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

void printCounts(const char* label) {
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

// ---- input ----

class Input {
public:
    explicit Input(POINT origin) : origin_(origin) {
        screenWidth_ = std::max(2, GetSystemMetrics(SM_CXSCREEN));
        screenHeight_ = std::max(2, GetSystemMetrics(SM_CYSCREEN));
    }

    void moveTo(int x, int y) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        const long sx = origin_.x + x;
        const long sy = origin_.y + y;
        input.mi.dx = static_cast<LONG>((sx * 65535 + (screenWidth_ - 1) / 2) / (screenWidth_ - 1));
        input.mi.dy = static_cast<LONG>((sy * 65535 + (screenHeight_ - 1) / 2) / (screenHeight_ - 1));
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &input, sizeof input);
    }

    void button(bool right, bool down) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        if (right)
            input.mi.dwFlags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
        else
            input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof input);
    }

    void modifiers(int mods, bool down) {
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

// ---- the session ----

class Session {
public:
    explicit Session(const EditorOptions& options) : options_(options) {}
    int run();

private:
    bool loadInstance(EditorHost& host, int x, int y, const char* title);
    void onWindowThread(const std::function<void()>& work) {
        std::function<void()> call = work;
        SendMessageA(main_.window, kRunOnWindowThread, 0, reinterpret_cast<LPARAM>(&call));
    }
    void script();
    void runStep(const EditorStep& step);
    void printEditEvents(std::size_t from);
    void printParams(EditorHost& host);
    void cycles(long count);
    void printClassState();

    const EditorOptions& options_;
    EditorHost main_;
    EditorHost second_;
    HMODULE module_ = nullptr;
    char className_[32] = "";
    POINT origin_ = {0, 0};
    std::unique_ptr<AudioThread> audio_;
    std::unique_ptr<Input> input_;
    int failures_ = 0;
};

bool Session::loadInstance(EditorHost& host, int x, int y, const char* title) {
    std::string error;
    if (!host.plugin.load(options_.plugin, error)) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return false;
    }
    AEffect* effect = host.plugin.record();
    if (!(effect->flags & effFlagsHasEditor)) {
        std::fprintf(stderr, "vsthost: the plug-in has no editor\n");
        return false;
    }
    host.plugin.dispatch(effOpen);
    host.plugin.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(AudioThread::kRate));
    host.plugin.dispatch(effSetBlockSize, 0, AudioThread::kBlock);
    host.plugin.dispatch(effMainsChanged, 0, 1);
    host.plugin.dispatch(effStartProcess);
    ERect* rect = nullptr;
    VstIntPtr got = host.plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) {
        std::fprintf(stderr, "vsthost: effEditGetRect gave no rectangle (%ld)\n", static_cast<long>(got));
        return false;
    }
    host.rect = *rect;
    say("editor-rect: %s top=%d left=%d bottom=%d right=%d width=%d height=%d\n", title, rect->top,
        rect->left, rect->bottom, rect->right, rect->right - rect->left, rect->bottom - rect->top);
    if (!makeHostWindow(host, x, y, title)) {
        std::fprintf(stderr, "vsthost: cannot create the host window\n");
        return false;
    }
    host.openEditor();
    HWND child = GetWindow(host.window, GW_CHILD);
    char name[64] = "";
    if (child) GetClassNameA(child, name, sizeof name);
    RECT client = {0, 0, 0, 0};
    if (child) GetClientRect(child, &client);
    say("editor-open: %s child=%s class=%s size=%ldx%ld\n", title, child ? "yes" : "no", name,
        static_cast<long>(client.right), static_cast<long>(client.bottom));
    settleWindowThread(host);
    return true;
}

void Session::printEditEvents(std::size_t from) {
    std::vector<CallbackEvent> events = HostState::instance().events();
    for (std::size_t i = from; i < events.size(); ++i) {
        const CallbackEvent& e = events[i];
        if (e.opcode == audioMasterBeginEdit) {
            say("edit: begin index=%d\n", static_cast<int>(e.index));
        } else if (e.opcode == audioMasterEndEdit) {
            say("edit: end index=%d\n", static_cast<int>(e.index));
        } else if (e.opcode == audioMasterAutomate) {
            say("edit: automate index=%d value=%.6f\n", static_cast<int>(e.index),
                static_cast<double>(e.opt));
        }
    }
}

void Session::printParams(EditorHost& host) {
    for (VstInt32 i = 0; i < host.plugin.numParams(); ++i) {
        std::string display = host.plugin.text(effGetParamDisplay, i);
        say("param: %d %.6f \"%s\"\n", static_cast<int>(i), static_cast<double>(host.plugin.getParameter(i)),
            display.c_str());
    }
}

void Session::printClassState() {
    WNDCLASSA wc;
    bool registered = GetClassInfoA(module_, className_, &wc) != 0;
    say("class: %s %s\n", className_, registered ? "registered" : "absent");
}

// Close and reopen many times; what a cycle leaves behind shows as growth between the
// first and the last closed state.
void Session::cycles(long count) {
    settleWindowThread(main_);
    printCounts("open-before");
    for (long i = 1; i <= count; ++i) {
        main_.closeEditor();
        settleWindowThread(main_, 1);
        if (i == 1) printCounts("closed-first");
        if (i == count) printCounts("closed-last");
        main_.openEditor();
        settleWindowThread(main_, 2);
    }
    settleWindowThread(main_);
    printCounts("open-after");
}

void Session::runStep(const EditorStep& step) {
    using Kind = EditorStep::Kind;
    const std::size_t before = HostState::instance().events().size();
    say("step: %s\n", describeStep(step).c_str());
    switch (step.kind) {
        case Kind::Wait:
            Sleep(static_cast<DWORD>(step.index));
            break;
        case Kind::Click:
            playClick(*input_, step, pauseMs);
            break;
        case Kind::Drag:
            playDrag(*input_, step, pauseMs);
            break;
        case Kind::Key:
        case Kind::Automate:
        case Kind::Program:
            playHostRequest(main_.plugin, step, [this](const std::function<void()>& work) { onWindowThread(work); },
                            pauseMs);
            break;
        case Kind::Signal:
            if (!audio_->setSignal(step.text)) {
                std::fprintf(stderr, "vsthost editor: unknown signal %s\n", step.text.c_str());
                ++failures_;
            }
            break;
        case Kind::Screenshot:
            onWindowThread([&] {
                main_.idle();
                settleWindowThread(main_, 2);
                HWND child = GetWindow(main_.window, GW_CHILD);
                HWND source = child ? child : main_.window;
                bool ok = writeBmp(step.text, source, main_.rect.right - main_.rect.left,
                                   main_.rect.bottom - main_.rect.top);
                say("screenshot: %s %s\n", step.text.c_str(), ok ? "written" : "FAILED");
                if (!ok) ++failures_;
            });
            break;
        case Kind::Params:
            onWindowThread([&] { printParams(main_); });
            break;
        case Kind::Cycles:
            onWindowThread([&] { cycles(step.index); });
            break;
        case Kind::OpenSecond:
            onWindowThread([&] {
                if (!loadInstance(second_, 20, 300, "second")) ++failures_;
            });
            break;
        case Kind::CloseSecond:
            onWindowThread([&] {
                second_.closeEditor();
                if (second_.window) {
                    DestroyWindow(second_.window);
                    second_.window = nullptr;
                }
                second_.plugin.close();
            });
            break;
        case Kind::ClassState:
            onWindowThread([&] { printClassState(); });
            break;
        case Kind::Counts:
            onWindowThread([&] {
                settleWindowThread(main_);
                printCounts("now");
            });
            break;
    }
    printEditEvents(before);
}

void Session::script() {
    Sleep(static_cast<DWORD>(options_.settleMs));
    for (const EditorStep& step : options_.steps) runStep(step);
    PostMessageA(main_.window, kScriptDone, 0, 0);
}

int Session::run() {
    OleInitialize(nullptr);
    if (!registerHostClass()) {
        std::fprintf(stderr, "vsthost: cannot register the host window class\n");
        return kExitFailed;
    }
    HostState::instance().setSampleRate(AudioThread::kRate);
    HostState::instance().setBlockSize(AudioThread::kBlock);

    // Load the library first without its entry point, so that the counters see everything
    // the plug-in creates.
    HMODULE module = LoadLibraryA(options_.plugin.c_str());
    if (!module) {
        std::fprintf(stderr, "vsthost: cannot load %s (error %lu)\n", options_.plugin.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return kExitFailed;
    }
    module_ = module;
    say("counters: %d imports hooked\n", installGuiCounters(module));
    std::snprintf(className_, sizeof className_, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(module)));

    if (!loadInstance(main_, 20, 20, "main")) {
        FreeLibrary(module);
        return kExitFailed;
    }
    // Keyboard input (the Ctrl and Shift of clicks) goes to the foreground window's queue.
    SetForegroundWindow(main_.window);
    SetFocus(main_.window);
    printClassState();
    printCounts("opened");
    ClientToScreen(main_.window, &origin_);
    input_ = std::make_unique<Input>(origin_);

    audio_ = std::make_unique<AudioThread>(main_.plugin.record());
    if (!audio_->setSignal(options_.signal)) {
        std::fprintf(stderr, "vsthost editor: unknown signal %s\n", options_.signal.c_str());
        return kExitUsage;
    }
    audio_->start();

    std::thread player([this] { script(); });
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    player.join();
    audio_->stop();
    say("audio-blocks: %ld\n", audio_->blocks());

    printParams(main_);
    if (second_.open) {
        second_.closeEditor();
        second_.plugin.close();
    }
    main_.closeEditor();
    KillTimer(main_.window, kIdleTimer);
    settleWindowThread(main_, 1);
    printClassState();
    printCounts("closed");
    main_.plugin.dispatch(effStopProcess);
    main_.plugin.dispatch(effMainsChanged, 0, 0);
    if (options_.trace) HostState::instance().printTrace(stdout);
    main_.plugin.close();
    printCounts("effect-closed");
    DestroyWindow(main_.window);
    if (second_.window) DestroyWindow(second_.window);
    FreeLibrary(module);
    OleUninitialize();
    return failures_ ? kExitFailed : kExitOk;
}

}  // namespace

int runEditorSession(const EditorOptions& options) {
    Session session(options);
    return session.run();
}

}  // namespace vsthost
