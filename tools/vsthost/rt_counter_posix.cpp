// The counter lives in a preloaded library; the host finds its four functions by name.
#include "tools/vsthost/rt_counter.h"

#include <dlfcn.h>

namespace vsthost {

bool RtCounter::attach(const std::string&, std::string& why) {
    enter_ = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_enter"));
    leave_ = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_leave"));
    count_ = reinterpret_cast<long (*)(int)>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_count"));
    first_ = reinterpret_cast<const char* (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_first"));
    if (enter_ && leave_ && count_ && first_) return true;
    why = "no counter in this process: run it with LD_PRELOAD=<build>/tests/realtime/libhallmere_rtcheck.so";
    return false;
}

void RtCounter::enter() { enter_(); }
void RtCounter::leave() { leave_(); }
long RtCounter::count(int kind) const { return count_(kind); }
const char* RtCounter::first() const { return first_(); }

}  // namespace vsthost
