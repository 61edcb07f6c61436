// vsthost editor: opens the plug-in's editor in a window of our own, keeps it idling and
// audio running, and plays a script of real input and host requests against it.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/editor_script.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/text.h"

#include <cstdio>
#include <sstream>

namespace vsthost {
namespace {

int usageError(const std::string& message) {
    std::fprintf(stderr, "vsthost editor: %s\n", message.c_str());
    return kExitUsage;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator)) parts.push_back(part);
    return parts;
}

bool parseModifier(const std::string& word, int& mods) {
    if (word == "ctrl") {
        mods |= kInputControl;
    } else if (word == "shift") {
        mods |= kInputShift;
    } else if (word == "right") {
        mods |= kInputRight;
    } else {
        return false;
    }
    return true;
}

// "X,Y[,mod...]" with `count` numbers first.
bool parsePoints(const std::string& text, int count, int* numbers, int& mods) {
    std::vector<std::string> parts = split(text, ',');
    if (static_cast<int>(parts.size()) < count) return false;
    for (int i = 0; i < count; ++i) {
        long n = 0;
        if (!parseLong(parts[i], n) || n < -10000 || n > 10000) return false;
        numbers[i] = static_cast<int>(n);
    }
    for (std::size_t i = count; i < parts.size(); ++i)
        if (!parseModifier(parts[i], mods)) return false;
    return true;
}

}  // namespace

std::string describeStep(const EditorStep& step) {
    using Kind = EditorStep::Kind;
    char text[160];
    auto mods = [&] {
        std::string m;
        if (step.mods & kInputControl) m += ",ctrl";
        if (step.mods & kInputShift) m += ",shift";
        if (step.mods & kInputRight) m += ",right";
        return m;
    };
    switch (step.kind) {
    case Kind::Wait: std::snprintf(text, sizeof text, "wait %ld", step.index); break;
    case Kind::Click: std::snprintf(text, sizeof text, "click %d,%d%s", step.x1, step.y1, mods().c_str()); break;
    case Kind::Drag:
        std::snprintf(text, sizeof text, "drag %d,%d,%d,%d%s", step.x1, step.y1, step.x2, step.y2, mods().c_str());
        break;
    case Kind::Key: std::snprintf(text, sizeof text, "key %ld", step.index); break;
    case Kind::Automate: std::snprintf(text, sizeof text, "automate %ld=%g", step.index, step.value); break;
    case Kind::Program: std::snprintf(text, sizeof text, "program %ld", step.index); break;
    case Kind::Signal: std::snprintf(text, sizeof text, "signal %s", step.text.c_str()); break;
    case Kind::Screenshot: std::snprintf(text, sizeof text, "screenshot %s", step.text.c_str()); break;
    case Kind::Params: std::snprintf(text, sizeof text, "params"); break;
    case Kind::Cycles: std::snprintf(text, sizeof text, "cycles %ld", step.index); break;
    case Kind::OpenSecond: std::snprintf(text, sizeof text, "open-second"); break;
    case Kind::CloseSecond: std::snprintf(text, sizeof text, "close-second"); break;
    case Kind::ClassState: std::snprintf(text, sizeof text, "class"); break;
    case Kind::Counts: std::snprintf(text, sizeof text, "counts"); break;
    }
    return text;
}

int parseEditorOptions(const std::vector<std::string>& args, EditorOptions& options) {
    using Kind = EditorStep::Kind;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        auto next = [&] {
            if (i + 1 >= args.size()) return false;
            value = args[++i];
            return true;
        };
        auto number = [&](long low, long high, long& into) {
            return next() && parseLong(value, into) && into >= low && into <= high;
        };
        EditorStep step;
        long n = 0;
        if (arg == "--trace") {
            options.trace = true;
            continue;
        } else if (arg == "--signal") {
            if (!next() || value.empty()) return usageError("--signal needs a name");
            options.signal = value;
            continue;
        } else if (arg == "--scale") {
            double factor = 0.0;
            if (!next() || !parseDouble(value, factor) || !(factor > 0 && factor <= kMaxEditorScale))
                return usageError("--scale needs a factor above 0 and at most 4, such as 1.5 or 2");
            options.scale = factor;
            continue;
        } else if (arg == "--settle") {
            if (!number(0, 60000, n)) return usageError("--settle needs milliseconds");
            options.settleMs = n;
            continue;
        } else if (arg == "--wait") {
            if (!number(0, 600000, n)) return usageError("--wait needs milliseconds");
            step.kind = Kind::Wait;
            step.index = n;
        } else if (arg == "--click" || arg == "--drag") {
            int numbers[4] = {0, 0, 0, 0};
            bool drag = arg == "--drag";
            if (!next() || !parsePoints(value, drag ? 4 : 2, numbers, step.mods))
                return usageError(arg +
                                  (drag ? " needs X1,Y1,X2,Y2[,ctrl|shift|right]" : " needs X,Y[,ctrl|shift|right]"));
            step.kind = drag ? Kind::Drag : Kind::Click;
            step.x1 = numbers[0];
            step.y1 = numbers[1];
            step.x2 = numbers[2];
            step.y2 = numbers[3];
        } else if (arg == "--key") {
            if (!number(1, 255, n)) return usageError("--key needs a virtual key code 1..255");
            step.kind = Kind::Key;
            step.index = n;
        } else if (arg == "--automate") {
            std::vector<std::string> parts;
            if (next()) parts = split(value, '=');
            double v = 0.0;
            if (parts.size() != 2 || !parseLong(parts[0], n) || n < 0 || !parseDouble(parts[1], v))
                return usageError("--automate needs I=V");
            step.kind = Kind::Automate;
            step.index = n;
            step.value = v;
        } else if (arg == "--program") {
            if (!number(0, 100000, n)) return usageError("--program needs a number");
            step.kind = Kind::Program;
            step.index = n;
        } else if (arg == "--audio") {
            if (!next() || value.empty()) return usageError("--audio needs a signal name or silence");
            step.kind = Kind::Signal;
            step.text = value;
        } else if (arg == "--screenshot") {
            if (!next() || value.empty()) return usageError("--screenshot needs a file");
            step.kind = Kind::Screenshot;
            step.text = value;
        } else if (arg == "--params") {
            step.kind = Kind::Params;
        } else if (arg == "--cycles") {
            if (!number(1, 100000, n)) return usageError("--cycles needs a count");
            step.kind = Kind::Cycles;
            step.index = n;
        } else if (arg == "--open-second") {
            step.kind = Kind::OpenSecond;
        } else if (arg == "--close-second") {
            step.kind = Kind::CloseSecond;
        } else if (arg == "--class") {
            step.kind = Kind::ClassState;
        } else if (arg == "--counts") {
            step.kind = Kind::Counts;
        } else if (!arg.empty() && arg[0] == '-') {
            return usageError("unknown option " + arg);
        } else if (options.plugin.empty()) {
            options.plugin = arg;
            continue;
        } else {
            return usageError("more than one plug-in given");
        }
        options.steps.push_back(step);
    }
    if (options.plugin.empty()) return usageError("no plug-in given");
    return kExitOk;
}

int runEditor(const std::vector<std::string>& args) {
    EditorOptions options;
    int status = parseEditorOptions(args, options);
    if (status != kExitOk) return status;
    return runEditorSession(options);
}

}  // namespace vsthost
