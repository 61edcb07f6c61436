#include "host/plugin_main.h"

#include "host/effect_base.h"

#ifdef _WIN32
#include <windows.h>
#endif

bool constructionFailed = false;
void* moduleInstance = nullptr;

AEffect* createEffect(audioMasterCallback host, EffectFactory makeEffect) {
    if (!host || !makeEffect) return nullptr;
    // A host that does not name its version is one we cannot work with.
    if (host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    EffectBase* effect = nullptr;
    try {
        effect = makeEffect(host);
    } catch (...) {
        return nullptr;  // out of memory or a failed part: no effect, and nothing thrown at the host
    }
    if (!effect) return nullptr;
    if (constructionFailed) {
        delete effect;
        return nullptr;
    }
    return &effect->record;
}

#ifdef _WIN32
// Lives here rather than in a file of its own so that linking main always brings it in.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reason, (void)reserved;
    moduleInstance = instance;
    return TRUE;
}
#endif
