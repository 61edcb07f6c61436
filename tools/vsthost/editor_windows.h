// What the editor session needs from the window system: a top-level window per plug-in
// instance for its editor to live in, a window thread that serves those windows and runs
// work handed to it, real pointer and keyboard input for the script thread, and the
// window-system objects to count and photograph. One implementation per platform
// (editor_windows_win32.cpp, editor_windows_x11.cpp); the session itself is portable.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "tools/vsthost/instance.h"

namespace vsthost {

// One plug-in instance with its editor in a top-level window.
struct EditorHost {
    std::unique_ptr<Instance> instance;
    void* window = nullptr;  // the editor's parent: a window handle, or an X11 window id
    bool open = false;
    EditorRect rect;

    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
    void openEditor() {
        if (open || !instance) return;
        // What the plug-in answers varies (a VST 2.x open's answer says little); the child
        // window tells more.
        open = instance->openEditor(window);
    }
    void closeEditor() {
        if (!open) return;
        instance->closeEditor();
        open = false;
    }
    void idle() {
        if (open) instance->idleEditor();
    }
};

// Pointer and modifier keys, driven from the script thread.
class EditorInput {
public:
    virtual ~EditorInput() = default;
    virtual void moveTo(int x, int y) = 0;  // relative to the main host window
    virtual void button(bool right, bool down) = 0;
    virtual void modifiers(int mods, bool down) = 0;
};

class EditorWindows {
public:
    // The editors idle about 30 times a second.
    static constexpr int kIdleMs = 33;

    static std::unique_ptr<EditorWindows> create();
    virtual ~EditorWindows() = default;

    // Connects to the window system; prints the reason and answers false when it cannot.
    virtual bool start() = 0;
    // Before the plug-in is loaded for the first time: lets the platform watch the library.
    virtual bool prepareLibrary(const std::string& path) = 0;

    virtual bool makeHostWindow(EditorHost& host, int x, int y, const char* title) = 0;
    virtual void destroyHostWindow(EditorHost& host) = 0;
    // "yes window=0x… size=WxH"-like words about the plug-in's window inside the host's.
    virtual std::string describeChild(EditorHost& host) = 0;

    // Handles what is queued for the window thread without waiting; false once the session
    // has been told to end.
    virtual bool pump() = 0;
    // Waits until the window system has seen every request made so far.
    virtual void sync() = 0;
    // Runs work on the window thread and returns when it is done; from the script thread.
    virtual void onWindowThread(const std::function<void()>& work) = 0;
    // The window thread's loop: serves the windows and the work handed over and calls idle
    // every kIdleMs, also while a control tracks the mouse if the window system lets it,
    // until scriptFinished has been called. No idle calls after it returns.
    virtual void serve(const std::function<void()>& idle) = 0;
    virtual void scriptFinished() = 0;

    // Gives the main window the keyboard and notes where it is on screen; then the script
    // thread opens its input there.
    virtual void placeInput(EditorHost& main) = 0;
    virtual std::unique_ptr<EditorInput> openInput() = 0;

    virtual bool screenshot(EditorHost& host, const std::string& path) = 0;
    virtual void printCounts(const char* label, EditorHost& main, EditorHost& second) = 0;
    virtual void printClassState(EditorHost& main, EditorHost& second) = 0;
};

}  // namespace vsthost
