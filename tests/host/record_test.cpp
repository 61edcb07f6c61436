#include <gtest/gtest.h>

#include <algorithm>

#include "host/entry_points.h"
#include "test_effect.h"

namespace {

TEST(Record, HoldsTheBaseValuesAfterConstruction) {
    FakeHost host;
    TestEffect effect(host.callback(), 8, 13);
    const AEffect& r = effect.record;
    EXPECT_EQ(r.magic, 0x56737450);
    EXPECT_EQ(r.dispatcher, &dispatchEntry);
    EXPECT_EQ(r.process, &processEntry);
    EXPECT_EQ(r.setParameter, &setParameterEntry);
    EXPECT_EQ(r.getParameter, &getParameterEntry);
    EXPECT_EQ(r.processReplacing, &processReplacingEntry);
    EXPECT_EQ(r.numPrograms, 8);
    EXPECT_EQ(r.numParams, 13);
    EXPECT_EQ(r.numInputs, 1);
    EXPECT_EQ(r.numOutputs, 2);
    EXPECT_EQ(r.flags, 0);
    EXPECT_EQ(r.resvd1, 0);
    EXPECT_EQ(r.resvd2, 0);
    EXPECT_EQ(r.initialDelay, 0);
    EXPECT_EQ(r.realQualities, 0);
    EXPECT_EQ(r.offQualities, 0);
    EXPECT_EQ(r.ioRatio, 1.0f);
    EXPECT_EQ(r.object, static_cast<EffectBase*>(&effect));
    EXPECT_EQ(r.user, nullptr);
    EXPECT_EQ(r.uniqueID, 0x4E6F4566);
    EXPECT_EQ(r.version, 1);
    EXPECT_TRUE(std::all_of(std::begin(r.future), std::end(r.future), [](char c) { return c == 0; }));

    EXPECT_EQ(effect.sampleRate, 44100.0f);
    EXPECT_EQ(effect.blockSize, 1024);
    EXPECT_EQ(effect.currentProgram, 0);
    EXPECT_EQ(effect.programCount, 8);
    EXPECT_EQ(effect.parameterCount, 13);
    EXPECT_EQ(effect.editor, nullptr);
    EXPECT_EQ(effect.getEditor(), nullptr);
}

TEST(Record, NegativeCountsBecomeZero) {
    TestEffect effect(nullptr, -3, -1);
    EXPECT_EQ(effect.programCount, 0);
    EXPECT_EQ(effect.parameterCount, 0);
    EXPECT_EQ(effect.record.numPrograms, 0);
    EXPECT_EQ(effect.record.numParams, 0);
    EXPECT_EQ(effect.dispatcher(effSetProgram, 0, 0, nullptr, 0.0f), 0);
}

TEST(Record, SettersStoreIntoTheirFields) {
    TestEffect effect(nullptr);
    effect.setUniqueId(fourCharCode('T', 'v', 'H', 'm'));
    effect.setNumInputs(2);
    effect.setNumOutputs(6);
    effect.setInitialDelay(128);
    effect.setRealtimeQualities(3);
    effect.setOfflineQualities(9);
    EXPECT_EQ(effect.record.uniqueID, 0x5476486D);
    EXPECT_EQ(effect.record.numInputs, 2);
    EXPECT_EQ(effect.record.numOutputs, 6);
    EXPECT_EQ(effect.record.initialDelay, 128);
    EXPECT_EQ(effect.record.realQualities, 3);
    EXPECT_EQ(effect.record.offQualities, 9);
}

TEST(Record, FlagSettersTouchOnlyTheirBit) {
    using FlagSetter = void (ExtendedEffectBase::*)(bool);
    const struct {
        FlagSetter set;
        VstInt32 bit;
    } setters[] = {
        {&ExtendedEffectBase::setHasClip, 2},         {&ExtendedEffectBase::setHasVu, 4},
        {&ExtendedEffectBase::setCanMono, 8},         {&ExtendedEffectBase::setCanReplacing, 16},
        {&ExtendedEffectBase::setProgramChunks, 32},  {&ExtendedEffectBase::setIsSynth, 256},
        {&ExtendedEffectBase::setNoSoundInStop, 512}, {&ExtendedEffectBase::setExtIsAsync, 1024},
        {&ExtendedEffectBase::setExtHasBuffer, 2048},
    };
    for (const auto& setter : setters) {
        TestEffect effect(nullptr);
        effect.record.flags = effFlagsHasEditor;
        (effect.*setter.set)(true);
        EXPECT_EQ(effect.record.flags, effFlagsHasEditor | setter.bit) << setter.bit;
        (effect.*setter.set)(true);
        EXPECT_EQ(effect.record.flags, effFlagsHasEditor | setter.bit) << setter.bit;
        (effect.*setter.set)(false);
        EXPECT_EQ(effect.record.flags, effFlagsHasEditor) << setter.bit;
    }
}

TEST(Record, EffectDestroysItsEditor) {
    counters = {};
    {
        TestEffect effect(nullptr);
        effect.editor = new TestEditor;
        EXPECT_EQ(effect.getEditor(), effect.editor);
    }
    EXPECT_EQ(counters.editorsDestroyed, 1);
}

}  // namespace
