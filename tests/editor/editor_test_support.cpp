#include "editor_test_support.h"

#include <gtest/gtest.h>

RecordingHost* RecordingHost::active = nullptr;

RecordingHost::RecordingHost() { active = this; }
RecordingHost::~RecordingHost() { active = nullptr; }

std::vector<RecordedCall> RecordingHost::callsOf(VstInt32 opcode) const {
    std::vector<RecordedCall> found;
    for (const RecordedCall& call : calls)
        if (call.opcode == opcode) found.push_back(call);
    return found;
}

VstIntPtr VSTCALLBACK RecordingHost::respond(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void*,
                                             float opt) {
    if (!active) return 0;
    active->calls.push_back({opcode, index, value, opt});
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterIdle && active->onIdle) active->onIdle(effect);
    return 0;
}

FakeClock* FakeClock::active = nullptr;

FakeClock::FakeClock(std::uint32_t start) : now(start), previous(editorPlatform()) {
    active = this;
    EditorPlatform fake{
        [] { return active->now; },
        [](std::uint32_t millis) {
            active->sleeps.push_back(millis);
            active->now += millis;
        },
        [] { ++active->paints; },
        [] { ++active->oleStarts; },
        [] { ++active->oleStops; },
    };
    setEditorPlatform(fake);
}

FakeClock::~FakeClock() {
    setEditorPlatform(previous);
    active = nullptr;
}
