// The reverb as an LV2 plug-in: ports in musicians' units, converted to the normalised
// values the core takes at the start of each run, only where a port has changed.
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstring>
#include <new>

#include "effect/reverb_core.h"
#include "plugin/lv2/port_map.h"

namespace {

struct Instance {
    ReverbCore core;
    const float* in[2] = {};
    float* out[2] = {};
    const float* controls[kParameterCount] = {};
    float* meter = nullptr;
    float* gate = nullptr;
    // The port values last handed to the core, compared bit for bit; the first run applies all.
    std::uint32_t applied[kParameterCount] = {};
    bool appliedAny = false;
};

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
    auto* instance = new (std::nothrow) Instance;
    if (instance == nullptr) return nullptr;
    if (!instance->core.isValid()) {
        delete instance;  // the engine could not get its buffers
        return nullptr;
    }
    instance->core.setSampleRate(static_cast<float>(rate));
    return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    auto* instance = static_cast<Instance*>(handle);
    switch (port) {
    case lv2port::kInLeft: instance->in[0] = static_cast<const float*>(data); break;
    case lv2port::kInRight: instance->in[1] = static_cast<const float*>(data); break;
    case lv2port::kOutLeft: instance->out[0] = static_cast<float*>(data); break;
    case lv2port::kOutRight: instance->out[1] = static_cast<float*>(data); break;
    case lv2port::kMeter: instance->meter = static_cast<float*>(data); break;
    case lv2port::kGate: instance->gate = static_cast<float*>(data); break;
    default:
        if (lv2port::isParameterPort(port))
            instance->controls[lv2port::parameterOf(port)] = static_cast<const float*>(data);
        break;
    }
}

void activate(LV2_Handle handle) { static_cast<Instance*>(handle)->core.resume(); }

void applyControls(Instance& instance) {
    for (int i = 0; i < kParameterCount; ++i) {
        if (instance.controls[i] == nullptr) continue;
        const float value = *instance.controls[i];
        if (instance.appliedAny && bitsOf(value) == instance.applied[i]) continue;
        instance.applied[i] = bitsOf(value);
        float normalised;
        // NaN keeps the value the parameter had.
        if (lv2port::fromPort(i, value, normalised)) instance.core.setParameter(i, normalised);
    }
    instance.appliedAny = true;
}

void run(LV2_Handle handle, uint32_t frames) {
    auto& instance = *static_cast<Instance*>(handle);
    applyControls(instance);
    if (frames > 0)
        instance.core.render(instance.in[0], instance.in[1], instance.out[0], instance.out[1], static_cast<int>(frames),
                             false);
    if (instance.meter) *instance.meter = instance.core.takePeak();
    if (instance.gate) *instance.gate = static_cast<float>(instance.core.gateState());
}

void cleanup(LV2_Handle handle) { delete static_cast<Instance*>(handle); }

const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor descriptor = {lv2port::kPluginUri, instantiate, connectPort, activate, run, nullptr, cleanup,
                                   extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) { return index == 0 ? &descriptor : nullptr; }
