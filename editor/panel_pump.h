// Runs an open panel's idle about thirty times a second on the window's thread, never from a
// thread of its own. Each format starts one over whatever its host offers (a run loop, timer
// and descriptor callbacks); on Windows every format uses a timer of the panel's own window,
// whose messages the host's message loop dispatches. Stopped by deleting it.
#pragma once

constexpr unsigned kPanelIdleMillis = 33;

class PanelIdle {
public:
    virtual void idle() = 0;

protected:
    ~PanelIdle() = default;
};

class PanelPump {
public:
    virtual ~PanelPump() = default;
};

#if defined(_WIN32)
// Null when the window is missing or refuses the timer.
PanelPump* startWindowTimerPump(PanelIdle& idle, void* panelWindow);
#endif
