// The host side of the plug-in interface: the callback a plug-in calls back into, the
// settings it answers from, and the record of every call it received.
#pragma once

#include "host/aeffect.h"

#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace vsthost {

struct CallbackEvent {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    std::string text;  // the capability asked about, for audioMasterCanDo
};

// One host per process: the callback has no context argument of its own, and the first
// call arrives before the plug-in has a record.
class HostState {
public:
    static HostState& instance();

    void setSampleRate(double rate);
    void setBlockSize(VstInt32 size);
    void setCurrentId(VstInt32 id);

    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    std::vector<CallbackEvent> events() const;
    std::map<VstInt32, long> counts() const;
    // Prints every call in arrival order, then the number of calls per opcode.
    void printTrace(std::FILE* out) const;

private:
    HostState() = default;
    void record(CallbackEvent event);

    mutable std::mutex lock;
    std::vector<CallbackEvent> received;
    std::map<VstInt32, long> perOpcode;
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    VstInt32 currentId = 0;
};

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

// The interface's name for a host opcode, or "opcode<N>" for numbers it does not name.
std::string hostOpcodeName(VstInt32 opcode);

// The host capabilities this host claims through audioMasterCanDo.
bool hostSupports(const std::string& capability);

}  // namespace vsthost
