// The command line of both host programs: one table of commands gives the usage lines, the
// help text and what runs each.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vsthost {

struct Command {
    const char* name;
    const char* arguments;
    const char* help;
    int (*run)(const std::vector<std::string>& args);
};

struct CommandTable {
    const char* program;
    const Command* commands;
    std::size_t count;
    const char* footer;  // after the commands in --help
};

int runCommandLine(const CommandTable& table, int argc, char** argv);

}  // namespace vsthost
