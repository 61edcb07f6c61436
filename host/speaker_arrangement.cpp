// Speaker arrangements are plain C allocations so that whoever holds one can free it
// the way the interface expects.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/extended_effect_base.h"

bool ExtendedEffectBase::allocateArrangement(VstSpeakerArrangement** slot, VstInt32 channelCount) {
    if (!slot || channelCount < 0) return false;
    const auto channels = static_cast<std::size_t>(channelCount);
    if (channels > (SIZE_MAX - speakerArrangementBytes(0)) / sizeof(VstSpeakerProperties)) return false;
    deallocateArrangement(slot);
    void* memory = std::calloc(1, speakerArrangementBytes(channels));
    if (!memory) return false;
    auto* arrangement = static_cast<VstSpeakerArrangement*>(memory);
    arrangement->numChannels = channelCount;
    *slot = arrangement;
    return true;
}

bool ExtendedEffectBase::deallocateArrangement(VstSpeakerArrangement** slot) {
    if (!slot) return false;
    std::free(*slot);
    *slot = nullptr;
    return true;
}

bool ExtendedEffectBase::copySpeaker(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (!to || !from) return false;
    if (to == from) return true;
    // The host's name may lack a terminator; ours always has one.
    const char* nameEnd = std::find(from->name, from->name + sizeof to->name - 1, '\0');
    const auto nameLength = static_cast<std::size_t>(nameEnd - from->name);
    std::memcpy(to->name, from->name, nameLength);
    to->name[nameLength] = '\0';
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof to->future);
    return true;
}

bool ExtendedEffectBase::matchArrangement(VstSpeakerArrangement** slot, VstSpeakerArrangement* from) {
    if (!slot || !from) return false;
    if (*slot == from) return true;  // freeing the slot would free the source too
    if (!deallocateArrangement(slot) || !allocateArrangement(slot, from->numChannels)) return false;
    (*slot)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i)
        if (!copySpeaker(&(*slot)->speakers[i], &from->speakers[i])) return false;
    return true;
}
