// What the real-time checker counts, shared by the preloaded counter and the host that
// reads it.
#pragma once

namespace rtcheck {

enum Kind { kAllocation, kFree, kLock, kWait, kSleep, kIo, kKindCount };

constexpr const char* kKindNames[kKindCount] = {"allocations", "frees", "locks", "waits", "sleeps",
                                               "file-or-socket-calls"};

}  // namespace rtcheck
