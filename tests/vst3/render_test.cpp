// The audio: bit for bit the VST 2.x render for blocks without changes, changes at their
// sample offsets, bypass, a mono input, silence flags and the tail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "effect/reverb_core.h"
#include "effect/reverb_effect.h"
#include "plugin/vst3/vst3_identity.h"
#include "tests/common/vst2_render.h"
#include "vst3_host.h"

using namespace testhost;
using namespace testsignal;

namespace {

constexpr float kRate = 48000.0f;

void selectProgram(Instance& plugin, int program) {
    ChangeList changes;
    changes.add(vst3id::kProgramId, 0, static_cast<double>(program) / (kProgramCount - 1));
    plugin.process(nullptr, nullptr, nullptr, nullptr, 0, &changes);  // a host's flush call
}

Stereo renderVst3(Instance& plugin, const Stereo& in, std::size_t block) {
    Stereo out(in.left.size());
    for (std::size_t at = 0; at < in.left.size(); at += block) {
        const auto n = static_cast<std::int32_t>(std::min(block, in.left.size() - at));
        EXPECT_EQ(plugin.process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], n), kResultOk);
    }
    return out;
}

}  // namespace

TEST(Vst3Render, EachProgramIsTheVst2RenderBitForBit) {
    expectEachProgramIsTheVst2Render(kRate, [](int program, const Stereo& in, std::size_t block) {
        Instance plugin;
        selectProgram(plugin, program);
        return renderVst3(plugin, in, block);
    });
}

// The reference renders the block in the same pieces through the core directly: one noise
// offset for the whole block, each change taken over where it falls.
TEST(Vst3Render, ChangesTakeEffectAtTheirOffsets) {
    struct Change {
        int index;
        std::int32_t offset;
        float value;
    };
    const std::vector<std::vector<Change>> cases = {
        {{kT60, 200, 0.8f}},
        {{kRoomSize, 100, 0.9f}, {kOut, 100, 0.5f}},
        {{kPan, 0, 0.1f}, {kDryOut, 511, 1.0f}},
        {{kDamping, 100, 0.9f}, {kDamping, 400, 0.1f}},
    };
    constexpr std::int32_t kBlock = 512;
    constexpr std::int32_t kBlocks = 32;  // long enough for the lines to bring back what a change shaped
    const Stereo in = testSignal(kBlocks * kBlock);
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const auto& changes = cases[c];
        ReverbCore core;
        core.setSampleRate(kRate);
        core.resume();
        Stereo expected(in.left.size());
        Instance plugin;
        Stereo out(in.left.size());
        for (std::int32_t at = 0; at < kBlocks * kBlock; at += kBlock) {
            const bool changing = at == 2 * kBlock;  // blocks without changes around it
            ChangeList list;
            const float offset = core.beginBlock();
            std::int32_t done = 0;
            const std::vector<Change>& now = changing ? changes : std::vector<Change>{};
            for (std::size_t i = 0; i < now.size(); ++i) {
                list.add(static_cast<ParamID>(now[i].index), now[i].offset, now[i].value);
                core.renderFrames(&in.left[at + done], &in.right[at + done], &expected.left[at + done],
                                  &expected.right[at + done], now[i].offset - done, offset, false);
                done = now[i].offset;
                core.setParameter(now[i].index, now[i].value);
                if (i + 1 == now.size() || now[i + 1].offset != done) core.takeOverChanges();
            }
            core.renderFrames(&in.left[at + done], &in.right[at + done], &expected.left[at + done],
                              &expected.right[at + done], kBlock - done, offset, false);
            plugin.process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], kBlock, &list);
        }
        EXPECT_TRUE(sameBits(out.left, expected.left) && sameBits(out.right, expected.right)) << "case " << c;
    }
}

TEST(Vst3Render, BypassPassesTheInputThroughAndTheReverbGoesOn) {
    const Stereo in = testSignal(2048);
    Instance plugin;
    Stereo out(in.left.size());
    ChangeList on;
    on.add(vst3id::kBypassId, 0, 1.0);
    ChangeList off;
    off.add(vst3id::kBypassId, 256, 0.0);
    plugin.process(&in.left[0], &in.right[0], &out.left[0], &out.right[0], 1024, &on);
    plugin.process(&in.left[1024], &in.right[1024], &out.left[1024], &out.right[1024], 1024, &off);
    EXPECT_TRUE(std::equal(in.left.begin(), in.left.begin() + 1280, out.left.begin()));
    EXPECT_TRUE(std::equal(in.right.begin(), in.right.begin() + 1280, out.right.begin()));
    // After bypass the reverb has heard the input all along: the Default program is wet only.
    EXPECT_FALSE(std::equal(in.left.begin() + 1280, in.left.end(), out.left.begin() + 1280));
    EXPECT_GT(std::fabs(out.left[1300]), 1e-4f);
}

TEST(Vst3Render, MonoInputFeedsBothSides) {
    const Stereo in = testSignal(4096);
    Instance mono, stereo;
    SpeakerArrangement m = kSpeakerMono, s = kSpeakerStereo;
    ASSERT_EQ(mono.processor->setBusArrangements(&m, 1, &s, 1), kResultTrue);
    Stereo fromMono(in.left.size()), fromStereo(in.left.size());
    for (std::int32_t at = 0; at < 4096; at += 512) {
        mono.process(&in.left[at], nullptr, &fromMono.left[at], &fromMono.right[at], 512, nullptr, 1);
        stereo.process(&in.left[at], &in.left[at], &fromStereo.left[at], &fromStereo.right[at], 512);
    }
    EXPECT_TRUE(sameBits(fromMono.left, fromStereo.left) && sameBits(fromMono.right, fromStereo.right));
}

TEST(Vst3Render, FlagsSilentOutputChannels) {
    const Stereo in = testSignal(2048);
    const Stereo quiet(512);
    Stereo out(2048);
    Instance plugin;
    std::uint64_t flags = 99;
    plugin.process(&in.left[0], &in.right[0], &out.left[0], &out.right[0], 2048, nullptr, 2, &flags);
    EXPECT_EQ(flags, 0u);
    ChangeList bypass;
    bypass.add(vst3id::kBypassId, 0, 1.0);
    plugin.process(&quiet.left[0], &quiet.right[0], &out.left[0], &out.right[0], 512, &bypass, 2, &flags);
    EXPECT_EQ(flags, 3u);
}

// After the reported tail an impulse's response is below -100 dB.
TEST(Vst3Render, TailCoversTheDecay) {
    for (int program : {3, 2}) {  // the shortest T60 of the programs, and a long one
        Instance plugin;
        selectProgram(plugin, program);
        const std::uint32_t tail = plugin.processor->getTailSamples();
        const double t60 = parameterTable[kT60].range.lerp(factoryPrograms[program].values[kT60]) / 1000.0;
        EXPECT_GE(tail, static_cast<std::uint32_t>(2.0 * t60 * kRate)) << program;
        if (program != 3) continue;
        Stereo in(tail + 4800);
        in.left[0] = in.right[0] = 1.0f;
        const Stereo out = renderVst3(plugin, in, 4800);
        float late = 0.0f;
        for (std::size_t i = tail; i < out.left.size(); ++i)
            late = std::max({late, std::fabs(out.left[i]), std::fabs(out.right[i])});
        EXPECT_LT(late, 1e-5f);
    }
}
