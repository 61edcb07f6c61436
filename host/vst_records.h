// Records of the plug-in interface that travel by pointer. Only the speaker records are
// read or built here; the rest stay opaque because nothing in this plug-in looks inside.
#pragma once

#include "host/aeffect.h"

// One speaker of an arrangement, exactly as the host lays it out.
struct VstSpeakerProperties {
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    VstInt32 type;
    char future[28];
};
static_assert(sizeof(VstSpeakerProperties) == 112, "a speaker record is 112 bytes");

// A header (type and channel count) followed by one speaker record per channel. The
// array is declared with the interface's eight entries, but records we allocate hold
// exactly numChannels of them: never touch an entry at or past numChannels.
struct VstSpeakerArrangement {
    VstInt32 type;
    VstInt32 numChannels;
    VstSpeakerProperties speakers[8];
};
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8, "speakers follow an 8-byte header");

// Bytes needed for an arrangement with the given number of speakers.
constexpr std::size_t speakerArrangementBytes(std::size_t channelCount) {
    return offsetof(VstSpeakerArrangement, speakers) + sizeof(VstSpeakerProperties) * channelCount;
}

struct VstEvents;
struct VstTimeInfo;
struct VstPinProperties;
struct VstVariableIo;
struct VstOfflineTask;
struct VstAudioFile;
struct VstParameterProperties;
struct VstPatchChunkInfo;
struct VstWindow;
struct VstFileSelect;
struct MidiProgramName;
struct MidiProgramCategory;
struct MidiKeyName;
