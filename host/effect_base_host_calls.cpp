#include "host/effect_base.h"

void EffectBase::setParameterAutomated(VstInt32 index, float value) {
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

VstInt32 EffectBase::hostVersion() {
    const VstIntPtr answer = callHost(audioMasterVersion);
    return answer != 0 ? clampToInt32(answer) : 1;  // hosts that keep quiet are the oldest version
}

VstInt32 EffectBase::hostCurrentId() { return clampToInt32(callHost(audioMasterCurrentId)); }

VstInt32 EffectBase::hostIdle() { return clampToInt32(callHost(audioMasterIdle)); }

// The host answers 0 for a connected pin, which is also what no host at all gives.
bool EffectBase::isInputConnected(VstInt32 index) { return callHost(audioMasterPinConnected, index, 0) == 0; }

bool EffectBase::isOutputConnected(VstInt32 index) { return callHost(audioMasterPinConnected, index, 1) == 0; }
