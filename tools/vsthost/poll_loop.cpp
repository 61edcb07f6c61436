#include "tools/vsthost/poll_loop.h"

#include <poll.h>

#include <algorithm>

namespace {

template <class List>
bool eraseKey(List& list, PollLoop::Key key) {
    const auto found = std::find_if(list.begin(), list.end(), [key](const auto& item) { return item.key == key; });
    if (found == list.end()) return false;
    list.erase(found);
    return true;
}

template <class List>
bool holds(const List& list, PollLoop::Key key) {
    return std::any_of(list.begin(), list.end(), [key](const auto& item) { return item.key == key; });
}

}  // namespace

void PollLoop::addTimer(Key key, unsigned millis) {
    timers_.push_back({key, std::chrono::milliseconds(millis), Clock::now()});
}

void PollLoop::addDescriptor(Key key, int fd) { descriptors_.push_back({key, fd}); }

bool PollLoop::removeTimer(Key key) { return eraseKey(timers_, key); }
bool PollLoop::removeDescriptor(Key key) { return eraseKey(descriptors_, key); }
bool PollLoop::hasTimer(Key key) const { return holds(timers_, key); }
bool PollLoop::hasDescriptor(Key key) const { return holds(descriptors_, key); }

void PollLoop::run(int millis, const std::atomic<bool>* done) {
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(millis);
    while (Clock::now() < end && !(done && *done)) runOnce(5);
}

// A callback may unregister (itself or others), so each step works on a copy of the lists.
void PollLoop::runOnce(int millis) {
    const std::vector<Descriptor> watched = descriptors_;
    std::vector<pollfd> fds;
    for (const Descriptor& d : watched) fds.push_back({d.fd, POLLIN, 0});
    if (!fds.empty() || millis > 0) poll(fds.data(), fds.size(), millis);
    for (std::size_t i = 0; i < fds.size(); ++i)
        if ((fds[i].revents & POLLIN) && hasDescriptor(watched[i].key)) {
            ++descriptorCalls;
            onDescriptor_(watched[i].key, watched[i].fd);
        }
    const std::vector<Timer> timers = timers_;
    for (const Timer& t : timers) {
        if (Clock::now() < t.due || !hasTimer(t.key)) continue;
        for (Timer& live : timers_)
            if (live.key == t.key) live.due = Clock::now() + live.interval;
        ++timerCalls;
        onTimer_(t.key);
    }
}
