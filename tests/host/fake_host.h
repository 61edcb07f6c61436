// A host callback that records every call and answers what the test configured.
#pragma once

#include <map>
#include <vector>

#include "host/aeffect.h"

struct HostCall {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

class FakeHost {
public:
    FakeHost();  // answers 2400 to the version query, 0 to everything else
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    void answer(VstInt32 opcode, VstIntPtr value) { answers[opcode] = value; }
    audioMasterCallback callback() const { return &respond; }
    std::vector<HostCall> calls;

private:
    static VstIntPtr VSTCALLBACK respond(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt);
    std::map<VstInt32, VstIntPtr> answers;
    static FakeHost* active;
};
