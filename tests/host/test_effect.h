// Minimal concrete effect and editor for exercising the bases. They count what reaches
// them; everything they do not override keeps the base behaviour.
#pragma once

#include <vector>

#include "fake_host.h"
#include "host/extended_effect_base.h"

struct Counters {
    int effectsDestroyed = 0;
    int editorsDestroyed = 0;
    int closes = 0;
};
extern Counters counters;

class TestEditor : public EditorInterface {
public:
    ~TestEditor() override { ++counters.editorsDestroyed; }
    VstInt32 getRect(ERect** rect) override {
        *rect = &size;
        return 1;
    }
    VstInt32 open(void* parent) override {
        openedWith = parent;
        return 7;
    }
    void close() override { ++closes; }
    void idle() override { ++idles; }
    VstInt32 keyDown(VstKeyCode& key) override {
        keysDown.push_back(key);
        return 11;
    }
    VstInt32 keyUp(VstKeyCode& key) override {
        keysUp.push_back(key);
        return 12;
    }
    VstInt32 setKnobMode(int mode) override {
        knobMode = mode;
        return 1;
    }

    ERect size{0, 0, 251, 448};
    void* openedWith = nullptr;
    int closes = 0;
    int idles = 0;
    int knobMode = -100;
    std::vector<VstKeyCode> keysDown;
    std::vector<VstKeyCode> keysUp;
};

class TestEffect : public ExtendedEffectBase {
public:
    explicit TestEffect(audioMasterCallback host, VstInt32 programs = 4, VstInt32 parameters = 3)
        : ExtendedEffectBase(host, programs, parameters) {}
    ~TestEffect() override { ++counters.effectsDestroyed; }

    void process(float** inputs, float** outputs, VstInt32 frames) override {
        (void)inputs, (void)outputs;
        processed.push_back(frames);
    }
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override {
        (void)inputs, (void)outputs;
        replaced.push_back(frames);
    }
    void setParameter(VstInt32 index, float value) override {
        parameterSets.push_back({index, value});
        hostCallsAtLastSet = watchedHost ? watchedHost->calls.size() : 0;
    }
    float getParameter(VstInt32 index) override { return index == 1 ? 0.75f : 0.0f; }
    void close() override { ++counters.closes; }
    void suspend() override { ++suspends; }
    void resume() override { ++resumes; }
    float getVu() override { return vu; }
    bool keysRequired() override { return wantsKeys; }

    struct ParameterSet {
        VstInt32 index;
        float value;
    };
    std::vector<ParameterSet> parameterSets;
    std::vector<VstInt32> processed;
    std::vector<VstInt32> replaced;
    const FakeHost* watchedHost = nullptr;  // lets a test see what the host had heard by then
    std::size_t hostCallsAtLastSet = 0;
    int suspends = 0;
    int resumes = 0;
    float vu = 0.0f;
    bool wantsKeys = false;
};
