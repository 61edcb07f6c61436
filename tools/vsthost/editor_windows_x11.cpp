// The editor session's windows under X11: override-redirect top-level windows whose ids the
// plug-in gets as parents, a main loop that polls the server's connection and a pipe that
// wakes it for work from the script thread, the run loop of what plug-ins registered with
// the host (window_loop.h), and input through the XTest extension on a
// connection of the script thread's own.
#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/editor_windows.h"
#include "tools/vsthost/window_loop.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cairo.h>
#include <dirent.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <vector>

namespace vsthost {
namespace {

Window idOf(const EditorHost& host) { return static_cast<Window>(reinterpret_cast<std::uintptr_t>(host.window)); }

// The plug-in's window inside a host window: its first child, or 0.
Window childOf(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window child = 0;
    if (window && XQueryTree(display, window, &root, &parent, &children, &count) && count > 0) child = children[0];
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
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
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

// Real input through the XTest extension, on a connection of the script thread's own.
class XTestInput : public EditorInput {
public:
    XTestInput(Display* display, int originX, int originY) : display_(display), originX_(originX), originY_(originY) {
        control_ = XKeysymToKeycode(display, XK_Control_L);
        shift_ = XKeysymToKeycode(display, XK_Shift_L);
    }

    ~XTestInput() override { XCloseDisplay(display_); }

    void moveTo(int x, int y) override {
        XTestFakeMotionEvent(display_, -1, originX_ + x, originY_ + y, CurrentTime);
        XFlush(display_);
    }

    void button(bool right, bool down) override {
        XTestFakeButtonEvent(display_, right ? Button3 : Button1, down ? True : False, CurrentTime);
        XFlush(display_);
    }

    void modifiers(int mods, bool down) override {
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

class X11Windows : public EditorWindows {
public:
    ~X11Windows() override;
    bool start() override;
    bool prepareLibrary(const std::string&) override { return true; }
    bool makeHostWindow(EditorHost& host, int x, int y, const char* title) override;
    void destroyHostWindow(EditorHost& host) override;
    std::string describeChild(EditorHost& host) override;
    bool pump() override;
    void sync() override { XSync(display_, False); }
    void onWindowThread(const std::function<void()>& work) override;
    void serve(const std::function<void()>& idle) override;
    void scriptFinished() override;
    void placeInput(EditorHost& main) override;
    std::unique_ptr<EditorInput> openInput() override;
    bool screenshot(EditorHost& host, const std::string& path) override;
    void printCounts(const char* label, EditorHost& main, EditorHost& second) override;
    void printClassState(EditorHost& main, EditorHost& second) override;

private:
    struct Job {
        std::function<void()> work;
        bool finished = false;
    };

    void wake();
    void runJobs();
    void serveWindows(int timeoutMs);

    Display* display_ = nullptr;
    int wake_[2] = {-1, -1};
    std::mutex jobsLock_;
    std::condition_variable jobsDone_;
    std::deque<Job*> jobs_;
    std::atomic<bool> scriptDone_{false};
    long windowsCreated_ = 0;
    long windowsDestroyed_ = 0;
    int originX_ = 0;
    int originY_ = 0;
};

X11Windows::~X11Windows() {
    for (int fd : wake_)
        if (fd >= 0) close(fd);
    if (display_) XCloseDisplay(display_);
}

bool X11Windows::start() {
    // Three threads talk to the server, each on its own connection; the plug-in opens one
    // more. Locking makes any sharing among them safe as well.
    XInitThreads();
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
        std::fprintf(stderr, "vsthost editor: cannot open the X display (is DISPLAY set?)\n");
        return false;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor)) {
        std::fprintf(stderr, "vsthost editor: the X server has no XTest extension\n");
        return false;
    }
    if (pipe(wake_) != 0) {
        std::fprintf(stderr, "vsthost editor: cannot make a pipe\n");
        return false;
    }
    return true;
}

bool X11Windows::makeHostWindow(EditorHost& host, int x, int y, const char*) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    // Like a pop-up: no window manager frame, so the panel is where we put it.
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(display_, screen);
    attributes.event_mask = SubstructureNotifyMask;
    Window window = XCreateWindow(display_, RootWindow(display_, screen), x, y, static_cast<unsigned>(host.width()),
                                  static_cast<unsigned>(host.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                                  CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display_, window);
    XSync(display_, False);
    // A Linux host passes its window's id where a Windows host passes a handle.
    host.window = reinterpret_cast<void*>(static_cast<std::uintptr_t>(window));
    return window != 0;
}

void X11Windows::destroyHostWindow(EditorHost& host) {
    if (!host.window) return;
    XDestroyWindow(display_, idOf(host));
    host.window = nullptr;
}

std::string X11Windows::describeChild(EditorHost& host) {
    Window child = childOf(display_, idOf(host));
    XWindowAttributes attributes{};
    if (child) XGetWindowAttributes(display_, child, &attributes);
    char text[96];
    std::snprintf(text, sizeof text, "%s window=0x%lx size=%dx%d", child ? "yes" : "no",
                  static_cast<unsigned long>(child), attributes.width, attributes.height);
    return text;
}

void X11Windows::wake() {
    const char byte = 1;
    if (write(wake_[1], &byte, 1) != 1) {
        // The main loop still looks at the queue and the flag at its next idle tick.
    }
}

void X11Windows::onWindowThread(const std::function<void()>& work) {
    Job job{work};
    {
        std::lock_guard<std::mutex> guard(jobsLock_);
        jobs_.push_back(&job);
    }
    wake();
    std::unique_lock<std::mutex> wait(jobsLock_);
    jobsDone_.wait(wait, [&] { return job.finished; });
}

void X11Windows::runJobs() {
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

// Handles the host windows' events, then what plug-ins registered with the run loop; waits
// up to timeoutMs for an event of ours, or for a job.
void X11Windows::serveWindows(int timeoutMs) {
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
    runWindowLoop();
}

bool X11Windows::pump() {
    serveWindows(0);
    return true;
}

void X11Windows::serve(const std::function<void()>& idle) {
    auto nextIdle = std::chrono::steady_clock::now();
    while (!scriptDone_) {
        auto now = std::chrono::steady_clock::now();
        if (now >= nextIdle) {
            idle();
            nextIdle = now + std::chrono::milliseconds(kIdleMs);
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextIdle - now).count();
        serveWindows(static_cast<int>(std::max<long long>(1, wait)));
        runJobs();
    }
    runJobs();
}

void X11Windows::scriptFinished() {
    scriptDone_ = true;
    wake();
}

void X11Windows::placeInput(EditorHost& main) {
    Window child = 0;
    XTranslateCoordinates(display_, idOf(main), DefaultRootWindow(display_), 0, 0, &originX_, &originY_, &child);
}

std::unique_ptr<EditorInput> X11Windows::openInput() {
    Display* inputDisplay = XOpenDisplay(nullptr);
    if (!inputDisplay) {
        std::fprintf(stderr, "vsthost editor: cannot open the X display for input\n");
        return nullptr;
    }
    return std::make_unique<XTestInput>(inputDisplay, originX_, originY_);
}

bool X11Windows::screenshot(EditorHost& host, const std::string& path) {
    Window child = childOf(display_, idOf(host));
    std::vector<std::uint32_t> pixels;
    if (!grabWindow(display_, child ? child : idOf(host), host.width(), host.height(), pixels)) return false;
    return endsWith(path, ".png") ? writePng(path, pixels, host.width(), host.height())
                                  : writeBmp(path, pixels, host.width(), host.height());
}

// What the editors leave behind shows in the child windows made and destroyed inside our
// windows, and in the file descriptors of the process (a display connection is one).
void X11Windows::printCounts(const char* label, EditorHost& main, EditorHost& second) {
    serveWindows(0);
    say("counts: %s windows=%ld/%ld children=%d fds=%ld\n", label, windowsCreated_, windowsDestroyed_,
        childCount(display_, idOf(main)) + childCount(display_, idOf(second)), openFileDescriptors());
}

// X11 has no window classes; what matters is how many editor windows exist.
void X11Windows::printClassState(EditorHost& main, EditorHost& second) {
    say("class: frame-windows=%d\n", childCount(display_, idOf(main)) + childCount(display_, idOf(second)));
}

}  // namespace

std::unique_ptr<EditorWindows> EditorWindows::create() { return std::make_unique<X11Windows>(); }

}  // namespace vsthost
