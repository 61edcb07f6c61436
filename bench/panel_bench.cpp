// What a scale costs the panel, in a real X11 window (run on a display, e.g. under
// xvfb-run -a): opening it and drawing it whole the first time, and an idle with nothing
// changed, each at 100, 150 and 200 %, and once the first opens of the process. Targets:
// opening at 200 % at most twice the 100 % time; the idle at 200 % no dearer than at 100 %.
//   xvfb-run -a -s "-screen 0 1024x768x24" bench_panel
#include <benchmark/benchmark.h>

// Xlib's KeyCode is not the toolkit's.
#define KeyCode XlibKeyCode
#include <X11/Xlib.h>
#undef KeyCode

#include <chrono>
#include <cstdio>

#include "editor/program_panel_host.h"
#include "editor/reverb_editor.h"
#include "effect/reverb_program.h"

namespace {

struct HostWindow {
    HostWindow() {
        display = XOpenDisplay(nullptr);
        if (display) {
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 600, 0, 0, 0);
            XMapWindow(display, window);
            XSync(display, False);
        }
    }
    ~HostWindow() {
        if (display) XCloseDisplay(display);
    }
    void* parent() const { return reinterpret_cast<void*>(window); }
    Display* display = nullptr;
    Window window = 0;
};

HostWindow& hostWindow() {
    static HostWindow host;
    return host;
}

double scaleOf(const benchmark::State& state) { return static_cast<double>(state.range(0)) / 100.0; }

// A new panel, as a host makes one: built, opened at the scale, drawn whole.
bool openAndDraw(double scale) {
    HostWindow& host = hostWindow();
    ProgramPanelHost values;
    ReverbEditor editor(values);
    editor.setScale(scale);
    if (!editor.open(host.parent())) return false;
    editor.redraw();
    XSync(host.display, False);
    editor.close();
    return true;
}

// Each time after the first: the larger sets are decoded once for the process.
void BM_PanelOpen(benchmark::State& state) {
    for (auto _ : state)
        if (!openAndDraw(scaleOf(state))) {
            state.SkipWithError("the panel does not open");
            break;
        }
}
BENCHMARK(BM_PanelOpen)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMillisecond);

// The open panel's idle with nothing changed since the last.
void BM_PanelIdleUnchanged(benchmark::State& state) {
    HostWindow& host = hostWindow();
    ProgramPanelHost values;
    ReverbEditor editor(values);
    editor.setScale(scaleOf(state));
    if (!editor.open(host.parent())) {
        state.SkipWithError("the panel does not open");
        return;
    }
    editor.redraw();
    for (int i = 0; i < 5; ++i) editor.idle();  // the first draw and its exposures
    for (auto _ : state) editor.idle();
    editor.close();
}
BENCHMARK(BM_PanelIdleUnchanged)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (!hostWindow().display) {
        std::fprintf(stderr, "bench_panel: no X display (run it under xvfb-run -a)\n");
        return 1;
    }
    // The first opens of the process, 100 % first (fonts, the display), then 200 % with the
    // decoding of its set.
    for (int percent : {100, 200}) {
        const auto start = std::chrono::steady_clock::now();
        if (!openAndDraw(percent / 100.0)) return 1;
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::printf("first open at %d %%: %.2f ms\n", percent, took.count());
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
