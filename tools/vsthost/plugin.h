// One loaded plug-in: its library, the effect record its entry point returned, and
// null-safe ways to talk to it.
#pragma once

#include "host/aeffect.h"
#include "tools/vsthost/plugin_loader.h"

#include <string>

namespace vsthost {

class Plugin {
public:
    Plugin() = default;
    ~Plugin();
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Loads the library, calls its entry point with our host callback and checks the
    // record. On failure returns false with a one-line reason in `error`.
    bool load(const std::string& path, std::string& error);

    AEffect* record() const { return effect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // Asks the effect for a text into a zeroed buffer; the result is cut at the first
    // terminator or at the buffer's visible size, whichever comes first.
    std::string text(VstInt32 opcode, VstInt32 index = 0);
    void setParameter(VstInt32 index, float value);
    // NaN when the plug-in has no getParameter entry.
    float getParameter(VstInt32 index);

    // The record's counts, with negative values read as 0.
    VstInt32 numPrograms() const;
    VstInt32 numParams() const;
    VstInt32 numInputs() const;
    VstInt32 numOutputs() const;

    // effClose; the record is gone afterwards.
    void close();

private:
    PluginLibrary library;
    AEffect* effect = nullptr;
    bool opened = false;
};

}  // namespace vsthost
