// Loading a plug-in library and finding its entry point, one implementation per platform
// (loader_posix.cpp with dlopen, loader_win32.cpp with LoadLibrary).
#pragma once

#include <string>

namespace vsthost {

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // Loads the library; on failure returns false and describes why in `error`.
    bool load(const std::string& path, std::string& error);
    // The address of an exported function, or null.
    void* symbol(const char* name) const;
    // The system's handle, for entry points that want it.
    void* native() const { return handle; }
    void unload();

private:
    void* handle = nullptr;
};

}  // namespace vsthost
