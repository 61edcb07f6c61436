// Doubles for the editor tests: a host that records its callbacks (and can run a hook from
// inside its idle callback), a clock the test moves by hand, and a small effect for the
// editor base.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "editor/editor_platform.h"
#include "editor/panel_host.h"
#include "host/aeffect.h"
#include "host/extended_effect_base.h"

struct RecordedCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
};

// One recording host at a time; its callback answers 2400 to the version query.
class RecordingHost {
public:
    RecordingHost();
    ~RecordingHost();
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    audioMasterCallback callback() const { return &respond; }
    std::vector<RecordedCall> callsOf(VstInt32 opcode) const;
    void clear() { calls.clear(); }

    std::vector<RecordedCall> calls;
    std::function<void(AEffect*)> onIdle;  // runs inside audioMasterIdle

private:
    static VstIntPtr VSTCALLBACK respond(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                         float opt);
    static RecordingHost* active;
};

// Installs itself as the editor platform for its lifetime. Sleeping advances the clock.
class FakeClock {
public:
    explicit FakeClock(std::uint32_t start = 100000);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(std::uint32_t millis) { now += millis; }

    std::uint32_t now;
    std::vector<std::uint32_t> sleeps;
    int paints = 0;
    int oleStarts = 0;
    int oleStops = 0;

private:
    static FakeClock* active;
    EditorPlatform previous;
};

// A small effect hosting a panel base: its edit brackets and drag idles reach the VST 2.x
// host as the reverb plug-in's do; it has no values, meter or gate to show.
class PlainEffect : public ExtendedEffectBase, public PanelHost {
public:
    explicit PlainEffect(audioMasterCallback host) : ExtendedEffectBase(host, 1, 3) {}
    void process(float**, float**, VstInt32) override {}

    float parameterValue(int) override { return 0.0f; }
    void beginEdit(int index) override { hostBeginEdit(index); }
    void performEdit(int, float) override {}
    void endEdit(int index) override { hostEndEdit(index); }
    float takeMeterPeak() override { return 0.0f; }
    int panelGateState() override { return 0; }
    void idleWhileDragging() override { hostIdle(); }
};
