// The editor session under X11: a top-level window of the editor's size is the parent the
// plug-in gets from effEditOpen; the main thread serves that window, calls effEditIdle
// about 30 times a second and runs the host requests of the script; an audio thread keeps
// processReplacing running at the pace of real time, and a script thread plays the steps.
// Mouse and modifier input goes through XTest from the script thread, so that a control
// tracking a drag keeps the main thread busy exactly as with a real mouse.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_gestures.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/plugin.h"
#include "tools/vsthost/signals.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <dirent.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vsthost {
namespace {

constexpr int kIdleMs = 33;


void sleepMs(long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }


// ---- one plug-in instance with its editor in a top-level window ----

struct EditorHost {
    Plugin plugin;
    Window window = 0;
    bool open = false;
    ERect rect = {0, 0, 0, 0};

    int width() const { return rect.right - rect.left; }
    int height() const { return rect.bottom - rect.top; }
    void openEditor() {
        if (open) return;
        // A Linux host passes its window's id where a Windows host passes a handle.
        plugin.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(window)));
        open = true;
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

// The plug-in's window inside a host window: its first child, or 0.
Window childOf(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window child = 0;
    if (window && XQueryTree(display, window, &root, &parent, &children, &count) && count > 0)
        child = children[0];
    if (children) XFree(children);
    return child;
}

int childCount(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!window || !XQueryTree(display, window, &root, &parent, &children, &count)) count = 0;
    if (children) XFree(children);
    return static_cast<int>(count);
}

long openFileDescriptors() {
    long count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
        --count;  // the directory itself
    }
    return count;
}

// The window's pixels as 0x00RRGGBB, read back from the server.
bool grabWindow(Display* display, Window window, int width, int height, std::vector<std::uint32_t>& pixels) {
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return false;
    auto channel = [](unsigned long pixel, unsigned long mask) {
        if (!mask) return 0u;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        unsigned long top = mask >> shift;
        return static_cast<unsigned>(((pixel & mask) >> shift) * 255 / top);
    };
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            pixels[static_cast<std::size_t>(y) * width + x] = channel(pixel, image->red_mask) << 16 |
                                                              channel(pixel, image->green_mask) << 8 |
                                                              channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

bool writeBmp(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
    const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = stride * static_cast<std::uint32_t>(height);
    unsigned char header[54] = {'B', 'M'};
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) header[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    put32(2, 54 + imageBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));  // bottom-up, as BMP files store it
    header[26] = 1;
    header[28] = 24;
    put32(34, imageBytes);
    std::vector<unsigned char> rows(imageBytes, 0);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = &rows[(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            row[x * 3] = static_cast<unsigned char>(p);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
    }
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool ok = std::fwrite(header, sizeof header, 1, out) == 1 && std::fwrite(rows.data(), imageBytes, 1, out) == 1;
    return std::fclose(out) == 0 && ok;
}

bool writePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    bool ok = cairo_surface_status(image) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_surface_flush(image);
        unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < height; ++y)
            std::copy_n(&pixels[static_cast<std::size_t>(y) * width], width,
                        reinterpret_cast<std::uint32_t*>(data + y * stride));
        cairo_surface_mark_dirty(image);
        ok = cairo_surface_write_to_png(image, path.c_str()) == CAIRO_STATUS_SUCCESS;
    }
    cairo_surface_destroy(image);
    return ok;
}

bool endsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// ---- input ----

// Real input through the XTest extension, on a connection of the script thread's own.
class Input {
public:
    Input(Display* display, int originX, int originY) : display_(display), originX_(originX), originY_(originY) {
        control_ = XKeysymToKeycode(display, XK_Control_L);
        shift_ = XKeysymToKeycode(display, XK_Shift_L);
    }

    void moveTo(int x, int y) {
        XTestFakeMotionEvent(display_, -1, originX_ + x, originY_ + y, CurrentTime);
        XFlush(display_);
    }

    void button(bool right, bool down) {
        XTestFakeButtonEvent(display_, right ? Button3 : Button1, down ? True : False, CurrentTime);
        XFlush(display_);
    }

    void modifiers(int mods, bool down) {
        if (mods & kInputControl) XTestFakeKeyEvent(display_, control_, down ? True : False, CurrentTime);
        if (mods & kInputShift) XTestFakeKeyEvent(display_, shift_, down ? True : False, CurrentTime);
        XFlush(display_);
    }

private:
    Display* display_;
    int originX_;
    int originY_;
    KeyCode control_ = 0;
    KeyCode shift_ = 0;
};

// ---- the session ----

class Session {
public:
    explicit Session(const EditorOptions& options) : options_(options) {}
    ~Session();
    int run();

private:
    struct Job {
        std::function<void()> work;
        bool finished = false;
    };

    bool loadInstance(EditorHost& host, int x, int y, const char* title);
    Window makeHostWindow(int x, int y, int width, int height);
    void onWindowThread(const std::function<void()>& work);
    void runJobs();
    void serveWindows(int timeoutMs);
    void settleWindowThread(int rounds = 3);
    void idleAll();
    void script();
    void runStep(const EditorStep& step);
    void printEditEvents(std::size_t from);
    void printParams(EditorHost& host);
    void printCounts(const char* label);
    void printClassState();
    void cycles(long count);
    bool screenshot(const std::string& path);

    const EditorOptions& options_;
    Display* display_ = nullptr;
    EditorHost main_;
    EditorHost second_;
    std::unique_ptr<AudioThread> audio_;
    std::unique_ptr<Input> input_;  // the script thread's
    int wake_[2] = {-1, -1};
    std::mutex jobsLock_;
    std::condition_variable jobsDone_;
    std::deque<Job*> jobs_;
    std::atomic<bool> scriptDone_{false};
    long windowsCreated_ = 0;
    long windowsDestroyed_ = 0;
    int originX_ = 0;
    int originY_ = 0;
    int failures_ = 0;
};

Session::~Session() {
    for (int fd : wake_)
        if (fd >= 0) close(fd);
    if (display_) XCloseDisplay(display_);
}

Window Session::makeHostWindow(int x, int y, int width, int height) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    // Like a pop-up: no window manager frame, so the panel is where we put it.
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display_, screen);
    attributes.event_mask = SubstructureNotifyMask;
    Window window = XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display_, window);
    XSync(display_, False);
    return window;
}

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
    say("editor-rect: %s top=%d left=%d bottom=%d right=%d width=%d height=%d\n", title, rect->top, rect->left,
        rect->bottom, rect->right, host.width(), host.height());
    if (host.width() <= 0 || host.height() <= 0) {
        std::fprintf(stderr, "vsthost: the editor has no size\n");
        return false;
    }
    host.window = makeHostWindow(x, y, host.width(), host.height());
    host.openEditor();
    XSync(display_, False);
    Window child = childOf(display_, host.window);
    XWindowAttributes attributes{};
    if (child) XGetWindowAttributes(display_, child, &attributes);
    say("editor-open: %s child=%s window=0x%lx size=%dx%d\n", title, child ? "yes" : "no",
        static_cast<unsigned long>(child), attributes.width, attributes.height);
    settleWindowThread();
    return true;
}

void Session::onWindowThread(const std::function<void()>& work) {
    Job job{work};
    {
        std::lock_guard<std::mutex> guard(jobsLock_);
        jobs_.push_back(&job);
    }
    const char byte = 1;
    if (write(wake_[1], &byte, 1) != 1) {
        // The main thread still looks at the queue at its next idle tick.
    }
    std::unique_lock<std::mutex> wait(jobsLock_);
    jobsDone_.wait(wait, [&] { return job.finished; });
}

void Session::runJobs() {
    for (;;) {
        Job* job = nullptr;
        {
            std::lock_guard<std::mutex> guard(jobsLock_);
            if (jobs_.empty()) return;
            job = jobs_.front();
            jobs_.pop_front();
        }
        job->work();
        {
            std::lock_guard<std::mutex> guard(jobsLock_);
            job->finished = true;
        }
        jobsDone_.notify_all();
    }
}

// Handles the host windows' events; waits up to timeoutMs for any, or for a job.
void Session::serveWindows(int timeoutMs) {
    XFlush(display_);
    if (!XPending(display_) && timeoutMs > 0) {
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wake_[0], POLLIN, 0}};
        poll(fds, 2, timeoutMs);
        if (fds[1].revents & POLLIN) {
            char drained[64];
            if (read(wake_[0], drained, sizeof drained) < 0) {
                // Nothing to do: the byte only woke us.
            }
        }
    }
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == CreateNotify) {
            ++windowsCreated_;
        } else if (event.type == DestroyNotify && event.xdestroywindow.event != event.xdestroywindow.window) {
            ++windowsDestroyed_;
        }
    }
}

void Session::idleAll() {
    main_.idle();
    second_.idle();
}

// Lets everything queued for the windows happen, with an editor idle call in between.
void Session::settleWindowThread(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        serveWindows(0);
        idleAll();
        XSync(display_, False);
        sleepMs(5);
    }
    serveWindows(0);
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
            say("edit: automate index=%d value=%.6f\n", static_cast<int>(e.index), static_cast<double>(e.opt));
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

// What the editors leave behind shows in the child windows made and destroyed inside our
// windows, and in the file descriptors of the process (a display connection is one).
void Session::printCounts(const char* label) {
    serveWindows(0);
    say("counts: %s windows=%ld/%ld children=%d fds=%ld\n", label, windowsCreated_, windowsDestroyed_,
        childCount(display_, main_.window) + childCount(display_, second_.window), openFileDescriptors());
}

// X11 has no window classes; what matters is how many editor windows exist.
void Session::printClassState() {
    say("class: frame-windows=%d\n", childCount(display_, main_.window) + childCount(display_, second_.window));
}

void Session::cycles(long count) {
    settleWindowThread();
    printCounts("open-before");
    for (long i = 1; i <= count; ++i) {
        main_.closeEditor();
        settleWindowThread(1);
        if (i == 1) printCounts("closed-first");
        if (i == count) printCounts("closed-last");
        main_.openEditor();
        settleWindowThread(2);
    }
    settleWindowThread();
    printCounts("open-after");
}

bool Session::screenshot(const std::string& path) {
    settleWindowThread(2);
    Window child = childOf(display_, main_.window);
    std::vector<std::uint32_t> pixels;
    if (!grabWindow(display_, child ? child : main_.window, main_.width(), main_.height(), pixels)) return false;
    return endsWith(path, ".png") ? writePng(path, pixels, main_.width(), main_.height())
                                  : writeBmp(path, pixels, main_.width(), main_.height());
}

void Session::runStep(const EditorStep& step) {
    using Kind = EditorStep::Kind;
    Input* input = input_.get();
    const std::size_t before = HostState::instance().events().size();
    say("step: %s\n", describeStep(step).c_str());
    switch (step.kind) {
        case Kind::Wait:
            sleepMs(step.index);
            break;
        case Kind::Click:
            playClick(*input, step, sleepMs);
            break;
        case Kind::Drag:
            playDrag(*input, step, sleepMs);
            break;
        case Kind::Key:
        case Kind::Automate:
        case Kind::Program:
            playHostRequest(main_.plugin, step, [this](const std::function<void()>& work) { onWindowThread(work); },
                            sleepMs);
            break;
        case Kind::Signal:
            if (!audio_->setSignal(step.text)) {
                std::fprintf(stderr, "vsthost editor: unknown signal %s\n", step.text.c_str());
                ++failures_;
            }
            break;
        case Kind::Screenshot:
            onWindowThread([&] {
                bool ok = screenshot(step.text);
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
                    XDestroyWindow(display_, second_.window);
                    second_.window = 0;
                }
                second_.plugin.close();
                settleWindowThread(1);
            });
            break;
        case Kind::ClassState:
            onWindowThread([&] {
                settleWindowThread(1);
                printClassState();
            });
            break;
        case Kind::Counts:
            onWindowThread([&] {
                settleWindowThread();
                printCounts("now");
            });
            break;
    }
    printEditEvents(before);
}

void Session::script() {
    Display* inputDisplay = XOpenDisplay(nullptr);
    if (inputDisplay) {
        input_ = std::make_unique<Input>(inputDisplay, originX_, originY_);
        sleepMs(options_.settleMs);
        for (const EditorStep& step : options_.steps) runStep(step);
        input_.reset();
        XCloseDisplay(inputDisplay);
    } else {
        std::fprintf(stderr, "vsthost editor: cannot open the X display for input\n");
        ++failures_;
    }
    scriptDone_ = true;
    const char byte = 1;
    if (write(wake_[1], &byte, 1) != 1) {
        // The main loop sees the flag at its next idle tick.
    }
}

int Session::run() {
    // Three threads talk to the server, each on its own connection; the plug-in opens one
    // more. Locking makes any sharing among them safe as well.
    XInitThreads();
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        std::fprintf(stderr, "vsthost editor: cannot open the X display (is DISPLAY set?)\n");
        return kExitFailed;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "vsthost editor: the X server has no XTest extension\n");
        return kExitFailed;
    }
    if (pipe(wake_) != 0) {
        std::fprintf(stderr, "vsthost editor: cannot make a pipe\n");
        return kExitFailed;
    }
    HostState::instance().setSampleRate(AudioThread::kRate);
    HostState::instance().setBlockSize(AudioThread::kBlock);

    if (!loadInstance(main_, 20, 20, "main")) return kExitFailed;
    printClassState();
    printCounts("opened");
    Window child = 0;
    XTranslateCoordinates(display_, main_.window, DefaultRootWindow(display_), 0, 0, &originX_, &originY_, &child);

    audio_ = std::make_unique<AudioThread>(main_.plugin.record());
    if (!audio_->setSignal(options_.signal)) {
        std::fprintf(stderr, "vsthost editor: unknown signal %s\n", options_.signal.c_str());
        return kExitUsage;
    }
    audio_->start();

    std::thread player([this] { script(); });
    auto nextIdle = std::chrono::steady_clock::now();
    while (!scriptDone_) {
        auto now = std::chrono::steady_clock::now();
        if (now >= nextIdle) {
            idleAll();
            nextIdle = now + std::chrono::milliseconds(kIdleMs);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle - now).count();
        serveWindows(static_cast<int>(std::max<long long>(1, wait)));
        runJobs();
    }
    player.join();
    runJobs();
    audio_->stop();
    say("audio-blocks: %ld\n", audio_->blocks());

    printParams(main_);
    if (second_.open) {
        second_.closeEditor();
        second_.plugin.close();
    }
    main_.closeEditor();
    settleWindowThread(1);
    printClassState();
    printCounts("closed");
    main_.plugin.dispatch(effStopProcess);
    main_.plugin.dispatch(effMainsChanged, 0, 0);
    if (options_.trace) HostState::instance().printTrace(stdout);
    main_.plugin.close();
    printCounts("effect-closed");
    XDestroyWindow(display_, main_.window);
    if (second_.window) XDestroyWindow(display_, second_.window);
    XSync(display_, False);
    return failures_ ? kExitFailed : kExitOk;
}

}  // namespace

int runEditorSession(const EditorOptions& options) {
    Session session(options);
    return session.run();
}

}  // namespace vsthost
