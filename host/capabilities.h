// The capability words exchanged in both directions: what a host may ask an effect
// (effCanDo) and what an effect may ask its host (audioMasterCanDo).
#pragma once

inline constexpr const char* pluginCapabilities[] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstTimeInfo",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstTimeInfo",
    "offline",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
    "midiProgramNames",
    "conformsToWindowRules",
    "bypass",
};

inline constexpr const char* hostCapabilities[] = {
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstTimeInfo",
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "receiveVstTimeInfo",
    "reportConnectionChanges",
    "acceptIOChanges",
    "sizeWindow",
    "asyncProcessing",
    "offline",
    "supplyIdle",
    "supportShell",
    "openFileSelector",
    "editFile",
    "closeFileSelector",
    "startStopProcess",
};

static_assert(sizeof pluginCapabilities / sizeof pluginCapabilities[0] == 26);
static_assert(sizeof hostCapabilities / sizeof hostCapabilities[0] == 17);
