// The real-time checker's counter as the host sees it: it counts, on a thread that has
// marked itself as inside a plug-in's audio entry point, every allocation, free, lock, wait,
// sleep and file or socket call. On Linux the counting is done by a library preloaded into
// the process (tests/realtime); on Windows by routing the plug-in module's own imports
// through counting wrappers.
#pragma once

#include <string>

namespace vsthost {

enum RtKind { kRtAllocation, kRtFree, kRtLock, kRtWait, kRtSleep, kRtIo, kRtKindCount };

constexpr const char* kRtKindNames[kRtKindCount] = {"allocations", "frees",  "locks",
                                                    "waits",       "sleeps", "file-or-socket-calls"};

class RtCounter {
public:
    // Gets the counter ready for the plug-in at `path`, before the host loads it. False with
    // the reason when this process cannot count.
    bool attach(const std::string& path, std::string& why);

    void enter();
    void leave();
    long count(int kind) const;
    const char* first() const;  // the first counted call's name, or null

private:
    void (*enter_)() = nullptr;
    void (*leave_)() = nullptr;
    long (*count_)(int) = nullptr;
    const char* (*first_)() = nullptr;
};

// Inside the plug-in's audio entry points for as long as it lives.
class AudioCall {
public:
    explicit AudioCall(RtCounter& counter) : counter(counter) { counter.enter(); }
    ~AudioCall() { counter.leave(); }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;

private:
    RtCounter& counter;
};

}  // namespace vsthost
