#include "tools/vsthost/plugin_loader.h"

#include <windows.h>

#include <cstdio>

namespace vsthost {

PluginLibrary::~PluginLibrary() { unload(); }

bool PluginLibrary::load(const std::string& path, std::string& error) {
    unload();
    // No "cannot find DLL" dialog boxes: the host runs unattended.
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    DWORD code = module ? 0 : GetLastError();
    SetErrorMode(previous);
    if (!module) {
        char text[128];
        std::snprintf(text, sizeof text, "LoadLibrary failed with error %lu", static_cast<unsigned long>(code));
        error = text;
        return false;
    }
    handle = module;
    return true;
}

void* PluginLibrary::symbol(const char* name) const {
    if (!handle) {
        return nullptr;
    }
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void PluginLibrary::unload() {
    if (handle) {
        FreeLibrary(static_cast<HMODULE>(handle));
        handle = nullptr;
    }
}

}  // namespace vsthost
