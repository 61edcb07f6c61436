// The state: a round trip through a fresh instance, partial reads, and records that are
// refused whole, leaving the plug-in as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "effect/reverb_state.h"
#include "plugin/vst3/vst3_identity.h"
#include "vst3_host.h"

using namespace testhost;

namespace {

std::vector<unsigned char> stateOf(Instance& plugin) {
    MemoryStream stream;
    EXPECT_EQ(plugin.component->getState(&stream), kResultOk);
    return stream.bytes;
}

// Program 4 with two values of its own, and a value of program 1 that is not current.
void edit(Instance& plugin) {
    plugin.controller->setParamNormalized(vst3id::kProgramId, 1.0 / 7);
    plugin.controller->setParamNormalized(kHold, 0.7);
    plugin.controller->setParamNormalized(vst3id::kProgramId, 4.0 / 7);
    plugin.controller->setParamNormalized(kT60, 0.9);
    plugin.controller->setParamNormalized(kPan, 0.2);
}

std::vector<float> render(Instance& plugin) {
    std::vector<float> in(4096), left(4096), right(4096);
    for (std::size_t i = 0; i < in.size(); i += 97) in[i] = 0.5f;
    for (std::int32_t at = 0; at < 4096; at += 512)
        plugin.process(&in[at], &in[at], &left[at], &right[at], 512);
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

void putWord(std::vector<unsigned char>& b, std::size_t at, std::uint32_t word) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(word >> (8 * i));
}

void putFloat(std::vector<unsigned char>& b, std::size_t at, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, 4);
    putWord(b, at, bits);
}

}  // namespace

TEST(Vst3State, RoundTripRestoresEveryProgramAndTheSound) {
    Instance edited, restored, replayed;
    edit(edited);
    edit(replayed);
    const std::vector<unsigned char> saved = stateOf(edited);
    ASSERT_EQ(saved.size(), kStateSize);
    MemoryStream stream(saved);
    stream.limit = 7;  // a stream that hands the record over in small pieces
    ASSERT_EQ(restored.component->setState(&stream), kResultOk);
    MemoryStream again(saved);
    EXPECT_EQ(restored.controller->setComponentState(&again), kResultOk);
    EXPECT_EQ(stateOf(restored), saved);
    EXPECT_EQ(restored.controller->getParamNormalized(vst3id::kProgramId), 4.0 / 7);
    EXPECT_EQ(restored.controller->getParamNormalized(kT60), 0.9f);
    EXPECT_EQ(render(restored), render(replayed));
}

TEST(Vst3State, RefusesBadRecordsAndKeepsItsOwn) {
    using Corrupt = std::function<void(std::vector<unsigned char>&)>;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::size_t firstValue = kStateHeaderSize;
    const struct {
        const char* what;
        Corrupt corrupt;
    } cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"truncated", [](auto& b) { b.pop_back(); }},
        {"header only", [](auto& b) { b.resize(kStateHeaderSize); }},
        {"wrong magic", [](auto& b) { b[0] = 'X'; }},
        {"newer version", [](auto& b) { putWord(b, 4, 2); }},
        {"size that lies", [](auto& b) { putWord(b, 8, kStateSize + 4); }},
        {"huge size", [](auto& b) { putWord(b, 8, 0xFFFFFFF0u); }},
        {"program count that lies", [](auto& b) { putWord(b, 12, kProgramCount + 1); }},
        {"parameter count that lies", [](auto& b) { putWord(b, 16, kParameterCount - 1); }},
        {"program out of range", [](auto& b) { putWord(b, 20, kProgramCount); }},
        {"NaN value", [&](auto& b) { putFloat(b, firstValue + 8, nan); }},
        {"infinite value", [&](auto& b) { putFloat(b, firstValue + 4 * 50, inf); }},
        {"value above 1", [&](auto& b) { putFloat(b, b.size() - 4, 1.5f); }},
        {"value below 0", [&](auto& b) { putFloat(b, firstValue, -0.001f); }},
    };
    Instance donor;
    const std::vector<unsigned char> valid = stateOf(donor);
    for (const auto& c : cases) {
        Instance plugin;
        edit(plugin);
        const std::vector<unsigned char> before = stateOf(plugin);
        std::vector<unsigned char> bad = valid;
        c.corrupt(bad);
        MemoryStream stream(bad), again(bad);
        EXPECT_EQ(plugin.component->setState(&stream), kResultFalse) << c.what;
        EXPECT_EQ(plugin.controller->setComponentState(&again), kResultFalse) << c.what;
        EXPECT_EQ(stateOf(plugin), before) << c.what;
    }
}

TEST(Vst3State, DoesNotBelieveAStreamThatOverstatesItsReads) {
    Instance donor, plugin;
    edit(donor);
    MemoryStream lying(stateOf(donor));
    lying.claimExtra = 1000;
    const std::vector<unsigned char> before = stateOf(plugin);
    EXPECT_EQ(plugin.component->setState(&lying), kResultFalse);
    EXPECT_EQ(plugin.component->setState(nullptr), kResultFalse);
    EXPECT_EQ(stateOf(plugin), before);
}
