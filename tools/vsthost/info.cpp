// vsthost info PLUGIN [settings]: what the plug-in says about itself, one "key: value" per
// line, after the settings given (state, program, values, texts) were made.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/text.h"

#include <cstdio>

namespace vsthost {
namespace {

void printLines(const InfoLines& lines) {
    for (const auto& [key, value] : lines) std::printf("%s: %s\n", key.c_str(), value.c_str());
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
    InstanceOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string error;
        const OptionResult result = parseInstanceOption(args, i, options, error);
        if (result == OptionResult::Taken) continue;
        std::fprintf(stderr, "vsthost info: %s\n",
                     result == OptionResult::Bad ? error.c_str() : ("unexpected argument '" + args[i] + "'").c_str());
        return kExitUsage;
    }
    if (options.plugin.empty()) {
        std::fprintf(stderr, "vsthost info: which plug-in?\n");
        return kExitUsage;
    }
    std::string error;
    std::unique_ptr<Instance> instance = startInstance(options, 0.0, 0, error);
    if (!instance) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    std::printf("plugin: %s\n", options.plugin.c_str());
    std::printf("format: %s\n", instance->format());
    printLines(instance->identity());
    for (int i = 0; i < instance->parameterCount(); ++i) {
        std::printf("param.%d.name: %s\n", i, quoted(instance->parameterName(i)).c_str());
        std::printf("param.%d.label: %s\n", i, quoted(instance->parameterLabel(i)).c_str());
        std::printf("param.%d.display: %s\n", i, quoted(instance->parameterDisplay(i)).c_str());
        std::printf("param.%d.value: %.6f\n", i, instance->parameterValue(i));
    }
    for (int i = 0; i < instance->programCount(); ++i)
        std::printf("program.%d.name: %s\n", i, quoted(instance->programName(i)).c_str());
    printLines(instance->capabilities());
    const bool saved = saveStateFile(*instance, options, error);
    instance.reset();
    if (options.trace) HostState::instance().printTrace(stdout);
    if (!saved) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace vsthost
