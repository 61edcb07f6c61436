#include <gtest/gtest.h>

#include "host/entry_points.h"
#include "test_effect.h"

namespace {

TEST(EntryPoints, ForwardToTheEffect) {
    auto* effect = new TestEffect(nullptr);
    AEffect* r = &effect->record;
    r->setParameter(r, 2, 0.25f);
    ASSERT_EQ(effect->parameterSets.size(), 1u);
    EXPECT_EQ(effect->parameterSets[0].index, 2);
    EXPECT_EQ(effect->parameterSets[0].value, 0.25f);
    EXPECT_EQ(r->getParameter(r, 1), 0.75f);

    float left[4] = {}, right[4] = {};
    float* channels[2] = {left, right};
    r->process(r, channels, channels, 4);
    r->processReplacing(r, channels, channels, 3);
    EXPECT_EQ(effect->processed, std::vector<VstInt32>{4});
    EXPECT_EQ(effect->replaced, std::vector<VstInt32>{3});
    EXPECT_EQ(r->dispatcher(r, effIdentify, 0, 0, nullptr, 0.0f), 0x4E764566);
    delete effect;
}

TEST(EntryPoints, CloseDestroysEffectAndEditorAndAnswersOne) {
    counters = {};
    auto* effect = new TestEffect(nullptr);
    effect->editor = new TestEditor;
    AEffect* r = &effect->record;
    EXPECT_EQ(r->dispatcher(r, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(counters.closes, 1);
    EXPECT_EQ(counters.effectsDestroyed, 1);
    EXPECT_EQ(counters.editorsDestroyed, 1);
}

TEST(EntryPoints, MissingRecordOrObjectIsHarmless) {
    EXPECT_EQ(dispatchEntry(nullptr, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(dispatchEntry(nullptr, effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(getParameterEntry(nullptr, 0), 0.0f);
    setParameterEntry(nullptr, 0, 1.0f);
    processEntry(nullptr, nullptr, nullptr, 16);
    processReplacingEntry(nullptr, nullptr, nullptr, 16);

    AEffect orphan{};
    EXPECT_EQ(dispatchEntry(&orphan, effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(getParameterEntry(&orphan, 1), 0.0f);
}

TEST(EntryPoints, BlocksWithMissingBuffersAreSkipped) {
    TestEffect effect(nullptr);
    effect.setNumInputs(2);
    AEffect* r = &effect.record;
    float left[8] = {}, right[8] = {};
    float* both[2] = {left, right};
    float* oneMissing[2] = {left, nullptr};

    r->process(r, nullptr, both, 8);
    r->process(r, both, nullptr, 8);
    r->process(r, oneMissing, both, 8);
    r->processReplacing(r, both, oneMissing, 8);
    EXPECT_TRUE(effect.processed.empty());
    EXPECT_TRUE(effect.replaced.empty());

    // An empty block carries no samples, so missing buffers do not matter.
    r->process(r, nullptr, nullptr, 0);
    r->processReplacing(r, both, both, 8);
    EXPECT_EQ(effect.processed, std::vector<VstInt32>{0});
    EXPECT_EQ(effect.replaced, std::vector<VstInt32>{8});
}

}  // namespace
