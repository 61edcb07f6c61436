// The host's main loop as a CLAP panel sees it: the timers and (POSIX) descriptors the
// plug-in registers, served when the host idles its editor. Main thread only.
#pragma once

#include "plugin/clap/clap_abi.h"

#include <chrono>

#if !defined(_WIN32)
#include <poll.h>
#endif

namespace vsthost {

class ClapMainLoop {
public:
    static constexpr int kSlots = 8;

    bool addTimer(std::uint32_t periodMs, clapabi::Id& id) {
        for (int i = 0; i < kSlots; ++i) {
            if (timers_[i].period.count() > 0) continue;
            timers_[i].period = std::chrono::milliseconds(periodMs > 0 ? periodMs : 1);
            timers_[i].due = Clock::now() + timers_[i].period;
            id = static_cast<clapabi::Id>(i);
            return true;
        }
        return false;
    }
    bool removeTimer(clapabi::Id id) {
        if (id >= static_cast<clapabi::Id>(kSlots) || timers_[id].period.count() == 0) return false;
        timers_[id].period = {};
        return true;
    }
    // A descriptor registered again takes the new flags.
    bool watch(int fd, std::uint32_t flags, bool known) {
        int free = -1;
        for (int i = 0; i < kSlots; ++i) {
            if (fds_[i].fd == fd) return fds_[i].flags = flags, true;
            if (fds_[i].fd < 0 && free < 0) free = i;
        }
        if (known || free < 0) return false;
        fds_[free] = {fd, flags};
        return true;
    }
    bool unwatch(int fd) {
        for (Fd& f : fds_)
            if (f.fd == fd && fd >= 0) return f.fd = -1, true;
        return false;
    }

    // The timers due and the descriptors ready, without waiting.
    void run(const clapabi::Plugin* plugin) {
        const auto* timer =
            static_cast<const clapabi::PluginTimerSupport*>(plugin->getExtension(plugin, clapabi::kTimerSupportExt));
        const auto now = Clock::now();
        for (int i = 0; timer && i < kSlots; ++i) {
            if (timers_[i].period.count() == 0 || now < timers_[i].due) continue;
            timers_[i].due = now + timers_[i].period;
            timer->onTimer(plugin, static_cast<clapabi::Id>(i));
        }
#if !defined(_WIN32)
        const auto* fd = static_cast<const clapabi::PluginPosixFdSupport*>(
            plugin->getExtension(plugin, clapabi::kPosixFdSupportExt));
        for (int i = 0; fd && i < kSlots; ++i) {
            if (fds_[i].fd < 0) continue;
            pollfd one{fds_[i].fd,
                       static_cast<short>((fds_[i].flags & clapabi::kPosixFdRead ? POLLIN : 0) |
                                          (fds_[i].flags & clapabi::kPosixFdWrite ? POLLOUT : 0)),
                       0};
            if (poll(&one, 1, 0) <= 0) continue;
            const std::uint32_t ready = (one.revents & POLLIN ? clapabi::kPosixFdRead : 0u) |
                                        (one.revents & POLLOUT ? clapabi::kPosixFdWrite : 0u) |
                                        (one.revents & (POLLERR | POLLHUP) ? clapabi::kPosixFdError : 0u);
            if (ready) fd->onFd(plugin, fds_[i].fd, ready);
        }
#endif
    }

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        std::chrono::milliseconds period{0};  // 0: a free slot
        Clock::time_point due{};
    };
    struct Fd {
        int fd = -1;
        std::uint32_t flags = 0;
    };
    Timer timers_[kSlots];
    Fd fds_[kSlots];
};

}  // namespace vsthost
