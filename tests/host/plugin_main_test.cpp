#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "fake_host.h"
#include "host/entry_points.h"
#include "host/plugin_main.h"
#include "test_effect.h"

namespace {

int factoryCalls = 0;
TestEffect* lastMade = nullptr;

EffectBase* makeTestEffect(audioMasterCallback host) {
    ++factoryCalls;
    return lastMade = new TestEffect(host);
}
EffectBase* makeNothing(audioMasterCallback) {
    ++factoryCalls;
    return nullptr;
}
EffectBase* makeFailingEffect(audioMasterCallback host) {
    ++factoryCalls;
    auto* effect = new TestEffect(host);
    constructionFailed = true;  // as an effect whose editor could not be built does
    return effect;
}
EffectBase* makeThrowing(audioMasterCallback) { throw std::bad_alloc(); }

class CreateEffect : public ::testing::Test {
protected:
    void SetUp() override {
        counters = {};
        factoryCalls = 0;
        lastMade = nullptr;
        constructionFailed = false;
    }
    void TearDown() override { constructionFailed = false; }
    FakeHost host;
};

TEST_F(CreateEffect, HostWithoutVersionGetsNothingAndNothingIsBuilt) {
    host.answer(audioMasterVersion, 0);
    EXPECT_EQ(createEffect(host.callback(), makeTestEffect), nullptr);
    EXPECT_EQ(factoryCalls, 0);
    ASSERT_EQ(host.calls.size(), 1u);
    const HostCall& query = host.calls[0];
    EXPECT_EQ(query.effect, nullptr);
    EXPECT_EQ(query.opcode, audioMasterVersion);
    EXPECT_EQ(query.index, 0);
    EXPECT_EQ(query.value, 0);
    EXPECT_EQ(query.ptr, nullptr);
    EXPECT_EQ(query.opt, 0.0f);
}

TEST_F(CreateEffect, MissingHostOrFactoryGivesNull) {
    EXPECT_EQ(createEffect(nullptr, makeTestEffect), nullptr);
    EXPECT_EQ(createEffect(host.callback(), nullptr), nullptr);
    EXPECT_EQ(factoryCalls, 0);
}

TEST_F(CreateEffect, HandsOutTheRecordInsideTheEffect) {
    AEffect* record = createEffect(host.callback(), makeTestEffect);
    ASSERT_NE(record, nullptr);
    ASSERT_NE(lastMade, nullptr);
    EXPECT_EQ(record, &lastMade->record);
    EXPECT_EQ(record->object, static_cast<EffectBase*>(lastMade));
    EXPECT_EQ(lastMade->hostCallback, host.callback());
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(counters.effectsDestroyed, 1);
}

TEST_F(CreateEffect, FactoryFailuresGiveNull) {
    EXPECT_EQ(createEffect(host.callback(), makeNothing), nullptr);
    EXPECT_EQ(createEffect(host.callback(), makeThrowing), nullptr);
    EXPECT_EQ(counters.effectsDestroyed, 0);
}

TEST_F(CreateEffect, FailedConstructionDestroysAndRefusesEveryLaterEffect) {
    EXPECT_EQ(createEffect(host.callback(), makeFailingEffect), nullptr);
    EXPECT_EQ(counters.effectsDestroyed, 1);
    EXPECT_EQ(createEffect(host.callback(), makeTestEffect), nullptr);
    EXPECT_EQ(counters.effectsDestroyed, 2);
    EXPECT_EQ(factoryCalls, 2);
}

}  // namespace
