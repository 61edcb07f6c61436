// A program's name as hosts list it: the stored name without its trailing spaces.
#pragma once

#include <string>

inline std::string programTitle(const char* name) {
    std::string title(name);
    while (!title.empty() && title.back() == ' ') title.pop_back();
    return title;
}
