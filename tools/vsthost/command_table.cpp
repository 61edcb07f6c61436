#include "tools/vsthost/command_table.h"

#include "tools/vsthost/commands.h"

#include <cstdio>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace vsthost {
namespace {

// The help's lines, each indented under its command's name.
void printIndented(std::FILE* out, const char* name, const char* text) {
    bool lineStart = true;
    std::fprintf(out, "%-8s", name);
    for (const char* c = text; *c; ++c) {
        if (lineStart && c != text) std::fputs("        ", out);
        std::fputc(*c, out);
        lineStart = *c == '\n';
    }
}

void printUsage(const CommandTable& table, bool full) {
    std::FILE* out = full ? stdout : stderr;
    const char* lead = "usage:";
    for (std::size_t i = 0; i < table.count; ++i) {
        std::fprintf(out, "%-6s %s %s %s\n", lead, table.program, table.commands[i].name, table.commands[i].arguments);
        lead = "";
    }
    std::fprintf(out, "       %s --help\n", table.program);
    if (!full) return;
    std::fprintf(out, "\n");
    for (std::size_t i = 0; i < table.count; ++i) printIndented(out, table.commands[i].name, table.commands[i].help);
    std::fputs(table.footer, out);
}

}  // namespace

int runCommandLine(const CommandTable& table, int argc, char** argv) {
#if defined(_WIN32)
    // Plain line ends, so that both builds print the same bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(table, false);
        return kExitUsage;
    }
    const std::string name = args.front();
    args.erase(args.begin());
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(table, true);
        return kExitOk;
    }
    for (std::size_t i = 0; i < table.count; ++i)
        if (name == table.commands[i].name) return table.commands[i].run(args);
    std::fprintf(stderr, "%s: unknown command '%s'\n", table.program, name.c_str());
    printUsage(table, false);
    return kExitUsage;
}

}  // namespace vsthost
