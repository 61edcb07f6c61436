#include "fake_host.h"

FakeHost* FakeHost::active = nullptr;

FakeHost::FakeHost() {
    answers[audioMasterVersion] = 2400;
    active = this;
}

FakeHost::~FakeHost() { active = nullptr; }

VstIntPtr VSTCALLBACK FakeHost::respond(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                        float opt) {
    if (!active) return 0;
    active->calls.push_back({effect, opcode, index, value, ptr, opt});
    auto found = active->answers.find(opcode);
    return found == active->answers.end() ? 0 : found->second;
}
