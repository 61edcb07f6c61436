// The editor session: a top-level window of the editor's size is the parent the plug-in's
// editor opens in, whatever its format; the window thread serves that window, idles the
// editor about 30 times a second (and runs what a VST 3 view registered with the host's run
// loop) and runs the host requests of the script; an audio thread keeps the instance
// processing at the pace of real time, and a script thread plays the steps.
// Mouse and modifier input is real input of the window system, sent from the script thread,
// so that a control tracking a drag keeps the window thread busy exactly as with a real
// mouse. What differs between window systems is behind EditorWindows.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_audio.h"
#include "tools/vsthost/editor_gestures.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/editor_windows.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/signals.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace vsthost {
namespace {

void sleepMs(long ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class Session {
public:
    explicit Session(const EditorOptions& options) : options_(options), windows_(EditorWindows::create()) {}
    int run();

private:
    bool loadInstance(EditorHost& host, int x, int y, const char* title);
    void settleWindowThread(int rounds = 3);
    void idleAll();
    void script();
    void runStep(const EditorStep& step);
    void printEditEvents(std::size_t from);
    void printParams(EditorHost& host);
    void printCounts(const char* label) { windows_->printCounts(label, main_, second_); }
    void cycles(long count);
    void onWindowThread(const std::function<void()>& work) { windows_->onWindowThread(work); }

    const EditorOptions& options_;
    std::unique_ptr<EditorWindows> windows_;
    EditorHost main_;
    EditorHost second_;
    std::unique_ptr<AudioThread> audio_;
    std::unique_ptr<EditorInput> input_;  // the script thread's
    int failures_ = 0;
};

bool Session::loadInstance(EditorHost& host, int x, int y, const char* title) {
    std::string error;
    host.instance = openInstance(options_.plugin, error);
    if (!host.instance) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return false;
    }
    host.instance->activate(AudioThread::kRate, AudioThread::kBlock);
    host.instance->startProcessing();
    if (options_.scale > 0 && !host.instance->setEditorScale(options_.scale)) {
        if (std::string(host.instance->format()) == "vst2")
            std::fprintf(stderr, "vsthost: --scale: a VST 2.x editor has one size and no scale factor\n");
        else
            std::fprintf(stderr, "vsthost: --scale: the plug-in's editor refused the factor %g\n", options_.scale);
        return false;
    }
    if (!host.instance->editorRect(host.rect)) {
        std::fprintf(stderr, "vsthost: the plug-in has no editor\n");
        return false;
    }
    const EditorRect& rect = host.rect;
    say("editor-rect: %s top=%d left=%d bottom=%d right=%d width=%d height=%d\n", title, rect.top, rect.left,
        rect.bottom, rect.right, host.width(), host.height());
    if (host.width() <= 0 || host.height() <= 0) {
        std::fprintf(stderr, "vsthost: the editor has no size\n");
        return false;
    }
    if (!windows_->makeHostWindow(host, x, y, title)) {
        std::fprintf(stderr, "vsthost: cannot create the host window\n");
        return false;
    }
    host.openEditor();
    windows_->sync();
    say("editor-open: %s child=%s\n", title, windows_->describeChild(host).c_str());
    settleWindowThread();
    return true;
}

void Session::idleAll() {
    main_.idle();
    second_.idle();
}

// Lets everything queued for the windows happen, with an editor idle call in between.
void Session::settleWindowThread(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        if (!windows_->pump()) return;
        idleAll();
        windows_->sync();
        sleepMs(5);
    }
    windows_->pump();
}

void Session::printEditEvents(std::size_t from) {
    std::vector<EditEvent> edits = main_.instance->edits();
    for (std::size_t i = from; i < edits.size(); ++i) {
        const EditEvent& e = edits[i];
        if (e.kind == std::string("begin") || e.kind == std::string("end"))
            say("edit: %s index=%d\n", e.kind, e.index);
        else
            say("edit: %s index=%d value=%.6f\n", e.kind, e.index, e.value);
    }
}

void Session::printParams(EditorHost& host) {
    for (int i = 0; i < host.instance->parameterCount(); ++i) {
        std::string display = host.instance->parameterDisplay(i);
        say("param: %d %.6f \"%s\"\n", i, host.instance->parameterValue(i), display.c_str());
    }
}

// Close and reopen many times; what a cycle leaves behind shows as growth between the
// first and the last closed state.
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

void Session::runStep(const EditorStep& step) {
    using Kind = EditorStep::Kind;
    const std::size_t before = main_.instance->edits().size();
    say("step: %s\n", describeStep(step).c_str());
    switch (step.kind) {
    case Kind::Wait: sleepMs(step.index); break;
    case Kind::Click: playClick(*input_, step, sleepMs); break;
    case Kind::Drag: playDrag(*input_, step, sleepMs); break;
    case Kind::Key:
    case Kind::Automate:
    case Kind::Program:
        playHostRequest(
            *main_.instance, step, [this](const std::function<void()>& work) { onWindowThread(work); }, sleepMs);
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
            settleWindowThread(2);
            bool ok = windows_->screenshot(main_, step.text);
            say("screenshot: %s %s\n", step.text.c_str(), ok ? "written" : "FAILED");
            if (!ok) ++failures_;
        });
        break;
    case Kind::Params: onWindowThread([&] { printParams(main_); }); break;
    case Kind::Cycles: onWindowThread([&] { cycles(step.index); }); break;
    case Kind::OpenSecond:
        onWindowThread([&] {
            if (!loadInstance(second_, 20, 300, "second")) ++failures_;
        });
        break;
    case Kind::CloseSecond:
        onWindowThread([&] {
            second_.closeEditor();
            windows_->destroyHostWindow(second_);
            second_.instance.reset();
            settleWindowThread(1);
        });
        break;
    case Kind::ClassState:
        onWindowThread([&] {
            settleWindowThread(1);
            windows_->printClassState(main_, second_);
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
    input_ = windows_->openInput();
    if (input_) {
        sleepMs(options_.settleMs);
        for (const EditorStep& step : options_.steps) runStep(step);
        input_.reset();
    } else {
        ++failures_;
    }
    windows_->scriptFinished();
}

int Session::run() {
    if (!windows_->start()) return kExitFailed;
    HostState::instance().setSampleRate(AudioThread::kRate);
    HostState::instance().setBlockSize(AudioThread::kBlock);
    if (!windows_->prepareLibrary(moduleFile(options_.plugin))) return kExitFailed;

    if (!loadInstance(main_, 20, 20, "main")) return kExitFailed;
    windows_->placeInput(main_);
    windows_->printClassState(main_, second_);
    printCounts("opened");

    audio_ = std::make_unique<AudioThread>(*main_.instance);
    if (!audio_->setSignal(options_.signal)) {
        std::fprintf(stderr, "vsthost editor: unknown signal %s\n", options_.signal.c_str());
        return kExitUsage;
    }
    audio_->start();

    std::thread player([this] { script(); });
    windows_->serve([this] { idleAll(); });
    player.join();
    audio_->stop();
    say("audio-blocks: %ld\n", audio_->blocks());

    printParams(main_);
    if (second_.instance) {
        second_.closeEditor();
        second_.instance.reset();
    }
    main_.closeEditor();
    settleWindowThread(1);
    windows_->printClassState(main_, second_);
    printCounts("closed");
    main_.instance->stopProcessing();
    main_.instance->deactivate();
    if (options_.trace) HostState::instance().printTrace(stdout);
    main_.instance.reset();
    printCounts("effect-closed");
    windows_->destroyHostWindow(main_);
    windows_->destroyHostWindow(second_);
    windows_->sync();
    return failures_ ? kExitFailed : kExitOk;
}

}  // namespace

int runEditorSession(const EditorOptions& options) {
    Session session(options);
    return session.run();
}

}  // namespace vsthost
