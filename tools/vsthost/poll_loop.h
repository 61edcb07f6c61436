// A host's main loop for what a plug-in registered with it: timers and descriptors, really
// run, by the test hosts and by vsthost's window thread. Each registration is known by the key the host's interface gives it (a handler pointer, a
// timer id, a descriptor); the loop calls back with that key.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

class PollLoop {
public:
    using Key = std::uintptr_t;

    PollLoop(std::function<void(Key)> onTimer, std::function<void(Key, int)> onDescriptor)
        : onTimer_(std::move(onTimer)), onDescriptor_(std::move(onDescriptor)) {}

    void addTimer(Key key, unsigned millis);
    void addDescriptor(Key key, int fd);
    // False when nothing was registered under the key.
    bool removeTimer(Key key);
    bool removeDescriptor(Key key);
    bool hasTimer(Key key) const;
    bool hasDescriptor(Key key) const;
    std::size_t timerCount() const { return timers_.size(); }
    std::size_t descriptorCount() const { return descriptors_.size(); }

    // Runs the callbacks for `millis`, or until `done` is set.
    void run(int millis, const std::atomic<bool>* done = nullptr);
    // One round: waits up to `millis` (0: not at all) for a descriptor, then calls back for
    // the descriptors that are readable and the timers that are due.
    void runOnce(int millis);

    int timerCalls = 0;
    int descriptorCalls = 0;

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        Key key;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };
    struct Descriptor {
        Key key;
        int fd;
    };
    std::function<void(Key)> onTimer_;
    std::function<void(Key, int)> onDescriptor_;
    std::vector<Timer> timers_;
    std::vector<Descriptor> descriptors_;
};
