// vsthost info PLUGIN [--trace]: what the plug-in says about itself, one "key: value" per line.
#include "tools/vsthost/commands.h"
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/plugin.h"
#include "tools/vsthost/text.h"

#include <cstdio>

namespace vsthost {
namespace {

// Beyond this many parameters or programs the listing stops; a record claiming more is
// more likely broken than big.
constexpr VstInt32 kMaxListed = 4096;

const char* const kCapabilities[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "offline", "plugAsChannelInsert",
    "plugAsSend",       "mixDryWet",           "noRealTime",         "1in2out", "2in2out",
    "bypass",
};

struct FlagName {
    VstInt32 bit;
    const char* name;
};

const FlagName kFlags[] = {
    {effFlagsHasEditor, "HasEditor"},
    {effFlagsHasClip, "HasClip"},
    {effFlagsHasVu, "HasVu"},
    {effFlagsCanMono, "CanMono"},
    {effFlagsCanReplacing, "CanReplacing"},
    {effFlagsProgramChunks, "ProgramChunks"},
    {effFlagsIsSynth, "IsSynth"},
    {effFlagsNoSoundInStop, "NoSoundInStop"},
    {effFlagsExtIsAsync, "ExtIsAsync"},
    {effFlagsExtHasBuffer, "ExtHasBuffer"},
};

std::string flagNames(VstInt32 flags) {
    std::string names;
    VstInt32 known = 0;
    for (const FlagName& flag : kFlags) {
        known |= flag.bit;
        if (flags & flag.bit) {
            names += names.empty() ? "" : " ";
            names += flag.name;
        }
    }
    if (flags & ~known) {
        char rest[32];
        std::snprintf(rest, sizeof rest, "0x%X", static_cast<unsigned>(flags & ~known));
        names += names.empty() ? "" : " ";
        names += rest;
    }
    return names.empty() ? "none" : names;
}

void printParameters(Plugin& plugin) {
    VstInt32 count = plugin.numParams();
    for (VstInt32 i = 0; i < count && i < kMaxListed; ++i) {
        std::printf("param.%d.name: %s\n", i, quoted(plugin.text(effGetParamName, i)).c_str());
        std::printf("param.%d.label: %s\n", i, quoted(plugin.text(effGetParamLabel, i)).c_str());
        std::printf("param.%d.display: %s\n", i, quoted(plugin.text(effGetParamDisplay, i)).c_str());
        std::printf("param.%d.value: %.6f\n", i, static_cast<double>(plugin.getParameter(i)));
    }
    if (count > kMaxListed) {
        std::printf("params.listed: %d\n", kMaxListed);
    }
}

void printPrograms(Plugin& plugin) {
    VstInt32 count = plugin.numPrograms();
    for (VstInt32 i = 0; i < count && i < kMaxListed; ++i) {
        std::printf("program.%d.name: %s\n", i, quoted(plugin.text(effGetProgramNameIndexed, i)).c_str());
    }
    if (count > kMaxListed) {
        std::printf("programs.listed: %d\n", kMaxListed);
    }
}

void printEditor(Plugin& plugin) {
    if (!(plugin.record()->flags & effFlagsHasEditor)) {
        std::printf("editor: none\n");
        return;
    }
    ERect* rect = nullptr;
    VstIntPtr answer = plugin.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) {
        std::printf("editor: no size (answer %ld)\n", static_cast<long>(answer));
        return;
    }
    std::printf("editor: %dx%d\n", rect->right - rect->left, rect->bottom - rect->top);
    std::printf("editor.rect: top=%d left=%d bottom=%d right=%d\n", rect->top, rect->left, rect->bottom, rect->right);
}

}  // namespace

int runInfo(const std::vector<std::string>& args) {
    std::string path;
    bool trace = false;
    for (const std::string& arg : args) {
        if (arg == "--trace") {
            trace = true;
        } else if (arg.empty() || arg[0] == '-' || !path.empty()) {
            std::fprintf(stderr, "vsthost info: unexpected argument '%s'\n", arg.c_str());
            return kExitUsage;
        } else {
            path = arg;
        }
    }
    if (path.empty()) {
        std::fprintf(stderr, "vsthost info: which plug-in?\n");
        return kExitUsage;
    }

    Plugin plugin;
    std::string error;
    if (!plugin.load(path, error)) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        if (trace) {
            HostState::instance().printTrace(stdout);
        }
        return kExitFailed;
    }
    plugin.dispatch(effOpen);
    const AEffect* effect = plugin.record();

    std::printf("plugin: %s\n", path.c_str());
    std::printf("name: %s\n", quoted(plugin.text(effGetEffectName)).c_str());
    std::printf("vendor: %s\n", quoted(plugin.text(effGetVendorString)).c_str());
    std::printf("product: %s\n", quoted(plugin.text(effGetProductString)).c_str());
    std::printf("vendorVersion: %ld\n", static_cast<long>(plugin.dispatch(effGetVendorVersion)));
    std::printf("vstVersion: %ld\n", static_cast<long>(plugin.dispatch(effGetVstVersion)));
    std::printf("category: %ld\n", static_cast<long>(plugin.dispatch(effGetPlugCategory)));
    std::printf("uniqueID: %s 0x%08X\n", fourCharText(effect->uniqueID).c_str(),
                static_cast<unsigned>(effect->uniqueID));
    std::printf("version: %d\n", effect->version);
    std::printf("numPrograms: %d\n", effect->numPrograms);
    std::printf("numParams: %d\n", effect->numParams);
    std::printf("numInputs: %d\n", effect->numInputs);
    std::printf("numOutputs: %d\n", effect->numOutputs);
    std::printf("flags: 0x%08X %s\n", static_cast<unsigned>(effect->flags), flagNames(effect->flags).c_str());
    std::printf("initialDelay: %d\n", effect->initialDelay);
    std::printf("ioRatio: %g\n", static_cast<double>(effect->ioRatio));
    std::printf("currentProgram: %ld\n", static_cast<long>(plugin.dispatch(effGetProgram)));
    printParameters(plugin);
    printPrograms(plugin);
    for (const char* capability : kCapabilities) {
        std::printf("canDo.%s: %ld\n", capability,
                    static_cast<long>(plugin.dispatch(effCanDo, 0, 0, const_cast<char*>(capability))));
    }
    printEditor(plugin);
    plugin.close();
    if (trace) {
        HostState::instance().printTrace(stdout);
    }
    return kExitOk;
}

}  // namespace vsthost
