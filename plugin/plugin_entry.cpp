// The library's exported entry and its load-time entry. "main" is the name hosts look
// up; a C++ compiler will not let a function with this signature be called main, so the
// symbol is given its name by the linker (a .def alias on Windows, an asm label on Linux).
// The load-time entry that records the module handle lives with the shell.
#include <new>

#include "editor/reverb_plugin.h"
#include "host/plugin_main.h"

namespace {

EffectBase* makeReverb(audioMasterCallback host) {
    auto* effect = new (std::nothrow) ReverbPlugin(host);
    if (effect != nullptr && !effect->isValid()) {
        delete effect;  // the engine could not get its buffers
        return nullptr;
    }
    return effect;
}

}  // namespace

#if defined(_WIN32)
extern "C" AEffect* VSTPluginMain(audioMasterCallback host) { return createEffect(host, makeReverb); }
#else
#define HALLMERE_EXPORT extern "C" __attribute__((visibility("default")))

HALLMERE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) { return createEffect(host, makeReverb); }
HALLMERE_EXPORT AEffect* pluginMain(audioMasterCallback host) __asm__("main");
AEffect* pluginMain(audioMasterCallback host) { return createEffect(host, makeReverb); }
#endif
