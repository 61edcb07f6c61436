#include "tools/vsthost/editor_audio.h"

#include <cstdarg>
#include <cstdio>

namespace vsthost {

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

}  // namespace vsthost
