#include "tools/vsthost/instance.h"

#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/loaders.h"
#include "tools/vsthost/text.h"

#include <cstdio>
#include <iterator>

namespace vsthost {
namespace {

// One row per format, the catch-all last.
struct Format {
    const char* name;
    bool (*claims)(const std::string& path);
    std::string (*module)(const std::string& path);
    std::unique_ptr<Instance> (*open)(const std::string& path, std::string& error);
};

bool anyPath(const std::string&) { return true; }
std::string samePath(const std::string& path) { return path; }

const Format kFormats[] = {
    {"vst3", isVst3Path, vst3ModuleFile, openVst3},
    {"clap", isClapPath, samePath, openClap},
    {"vst2", anyPath, samePath, openVst2},
};

const Format& formatOf(const std::string& path) {
    for (const Format& format : kFormats)
        if (format.claims(path)) return format;
    return kFormats[std::size(kFormats) - 1];
}

bool readFile(const std::string& path, std::vector<unsigned char>& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    unsigned char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    if (!ok) error = "cannot read " + path;
    return ok;
}

bool checkIndex(long index, int count, const char* what, std::string& error) {
    if (index < count) return true;
    error = std::string(what) + " " + std::to_string(index) + " does not exist (the plug-in has " +
            std::to_string(count) + ")";
    return false;
}

// INDEX=REST, the index a whole number from 0.
bool splitIndexed(const std::string& text, long& index, std::string& rest) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || !parseLong(text.substr(0, equals), index) || index < 0) return false;
    rest = text.substr(equals + 1);
    return true;
}

bool applySettings(Instance& instance, const InstanceOptions& options, std::string& error) {
    if (!options.loadState.empty()) {
        std::vector<unsigned char> bytes;
        if (!readFile(options.loadState, bytes, error) || !instance.loadState(bytes, error)) return false;
    }
    if (options.program >= 0) {
        if (!checkIndex(options.program, instance.programCount(), "program", error)) return false;
        instance.setProgram(static_cast<int>(options.program));
    }
    for (const auto& [index, value] : options.params) {
        if (!checkIndex(index, instance.parameterCount(), "parameter", error)) return false;
        instance.setParameter(static_cast<int>(index), value);
    }
    for (const auto& [index, text] : options.paramTexts) {
        if (!checkIndex(index, instance.parameterCount(), "parameter", error)) return false;
        if (!instance.setParameterText(static_cast<int>(index), text)) {
            error = "parameter " + std::to_string(index) + " does not take the text " + quoted(text);
            return false;
        }
    }
    return true;
}

}  // namespace

std::unique_ptr<Instance> openInstance(const std::string& path, std::string& error) {
    return formatOf(path).open(path, error);
}

std::string moduleFile(const std::string& path) { return formatOf(path).module(path); }

const char* moduleFormat(const std::string& path) { return formatOf(path).name; }

OptionResult parseInstanceOption(const std::vector<std::string>& args, std::size_t& i, InstanceOptions& options,
                                 std::string& error) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    const std::string value = hasValue ? args[i + 1] : std::string();
    auto bad = [&](const char* why) {
        error = why;
        return OptionResult::Bad;
    };
    long index = 0;
    std::string rest;
    if (arg == "--trace") {
        options.trace = true;
        return OptionResult::Taken;
    }
    if (arg == "--program") {
        if (!hasValue || !parseLong(value, options.program) || options.program < 0)
            return bad("--program needs a program number");
    } else if (arg == "--param") {
        double v = 0.0;
        if (!hasValue || !splitIndexed(value, index, rest) || !parseDouble(rest, v))
            return bad("--param needs INDEX=VALUE, e.g. --param 2=0.75");
        options.params.emplace_back(index, v);
    } else if (arg == "--param-text") {
        if (!hasValue || !splitIndexed(value, index, rest))
            return bad("--param-text needs INDEX=TEXT, e.g. --param-text 2=\"3.5 s\"");
        options.paramTexts.emplace_back(index, rest);
    } else if (arg == "--load-state" || arg == "--save-state") {
        if (!hasValue || value.empty())
            return bad(arg == "--load-state" ? "--load-state needs a file" : "--save-state needs a file");
        (arg == "--load-state" ? options.loadState : options.saveState) = value;
    } else if (!arg.empty() && arg[0] != '-' && options.plugin.empty()) {
        options.plugin = arg;
        return OptionResult::Taken;
    } else {
        return OptionResult::NotMine;
    }
    ++i;
    return OptionResult::Taken;
}

std::unique_ptr<Instance> startInstance(const InstanceOptions& options, double rate, int maxBlock, std::string& error) {
    std::unique_ptr<Instance> instance = openInstance(options.plugin, error);
    if (instance) {
        if (rate > 0.0) instance->activate(rate, maxBlock);
        if (!applySettings(*instance, options, error)) {
            instance.reset();
        } else if (rate > 0.0) {
            instance->startProcessing();
        }
    }
    if (!instance && options.trace) HostState::instance().printTrace(stdout);
    return instance;
}

bool saveStateFile(Instance& instance, const InstanceOptions& options, std::string& error) {
    if (options.saveState.empty()) return true;
    std::vector<unsigned char> bytes;
    if (!instance.saveState(bytes, error)) return false;
    std::FILE* file = std::fopen(options.saveState.c_str(), "wb");
    bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) ok = false;
    if (!ok) error = "cannot write " + options.saveState;
    return ok;
}

}  // namespace vsthost
