#include "tools/vsthost/plugin.h"

#include "tools/vsthost/host_callback.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace vsthost {
namespace {

using PluginEntry = AEffect*(VSTCALLBACK*)(audioMasterCallback);

// Plug-ins are told texts are at most 64 bytes, and some write past that; the buffer
// leaves plenty of room beyond what we read back.
constexpr std::size_t kTextVisible = 256;
constexpr std::size_t kTextBuffer = 1024;

VstInt32 nonNegative(VstInt32 n) { return n < 0 ? 0 : n; }

}  // namespace

Plugin::~Plugin() { close(); }

bool Plugin::load(const std::string& path, std::string& error) {
    std::string why;
    if (!library.load(path, why)) {
        error = "cannot load " + path + ": " + why;
        return false;
    }
    void* address = library.symbol("main");
    if (!address) {
        address = library.symbol("VSTPluginMain");
    }
    if (!address) {
        error = path + " exports neither main nor VSTPluginMain";
        return false;
    }
    PluginEntry entry = reinterpret_cast<PluginEntry>(address);
    HostState::instance().setCurrentId(0);
    effect = entry(hostCallback);
    if (!effect) {
        error = "the entry point of " + path + " returned no effect";
        return false;
    }
    if (effect->magic != kEffectMagic) {
        char text[96];
        std::snprintf(text, sizeof text, " has a bad magic 0x%08X (expected 0x%08X)",
                      static_cast<unsigned>(effect->magic), static_cast<unsigned>(kEffectMagic));
        error = "the effect of " + path + text;
        effect = nullptr;  // not an effect we can talk to, not even to close it
        return false;
    }
    if (!effect->dispatcher) {
        error = "the effect of " + path + " has no dispatcher";
        effect = nullptr;
        return false;
    }
    HostState::instance().setCurrentId(effect->uniqueID);
    opened = true;
    return true;
}

VstIntPtr Plugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (!effect || !effect->dispatcher) {
        return 0;
    }
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string Plugin::text(VstInt32 opcode, VstInt32 index) {
    std::vector<char> buffer(kTextBuffer, '\0');
    dispatch(opcode, index, 0, buffer.data());
    return std::string(buffer.data(), strnlen(buffer.data(), kTextVisible));
}

void Plugin::setParameter(VstInt32 index, float value) {
    if (effect && effect->setParameter) {
        effect->setParameter(effect, index, value);
    }
}

float Plugin::getParameter(VstInt32 index) {
    if (effect && effect->getParameter) {
        return effect->getParameter(effect, index);
    }
    return std::nanf("");
}

VstInt32 Plugin::numPrograms() const { return effect ? nonNegative(effect->numPrograms) : 0; }
VstInt32 Plugin::numParams() const { return effect ? nonNegative(effect->numParams) : 0; }
VstInt32 Plugin::numInputs() const { return effect ? nonNegative(effect->numInputs) : 0; }
VstInt32 Plugin::numOutputs() const { return effect ? nonNegative(effect->numOutputs) : 0; }

void Plugin::close() {
    if (effect && opened) {
        dispatch(effClose);
    }
    effect = nullptr;
    opened = false;
}

}  // namespace vsthost
