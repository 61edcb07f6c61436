#include "tools/vsthost/plugin_loader.h"

#include <dlfcn.h>

namespace vsthost {

PluginLibrary::~PluginLibrary() { unload(); }

bool PluginLibrary::load(const std::string& path, std::string& error) {
    unload();
    // A bare file name would make dlopen search the library path instead of the directory
    // the user means.
    std::string where = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(where.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = why ? why : "dlopen failed";
        return false;
    }
    return true;
}

void* PluginLibrary::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }

void PluginLibrary::unload() {
    if (handle) {
        dlclose(handle);
        handle = nullptr;
    }
}

}  // namespace vsthost
