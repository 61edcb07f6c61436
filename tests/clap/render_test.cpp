// The audio: bit for bit the VST 2.x render for blocks without events, events at their
// frames, and defined answers to events and buffers no sane host sends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "clap_host.h"
#include "effect/reverb_core.h"
#include "tests/common/vst2_render.h"

using namespace testhost;
using namespace testsignal;

namespace {

constexpr float kRate = 48000.0f;

void loadProgram(Instance& plugin, int program) {
    const char key[2] = {static_cast<char>('0' + program), '\0'};
    EXPECT_TRUE(plugin.extension<PluginPresetLoad>(kPresetLoadExt)
                    .fromLocation(plugin.plugin, kPresetLocationPlugin, nullptr, key));
}

double plainOf(int index, float normalised) { return physicalValue(index, normalised); }

}  // namespace

TEST(ClapRender, EachProgramIsTheVst2RenderBitForBit) {
    expectEachProgramIsTheVst2Render(kRate, [](int program, const Stereo& in, std::size_t block) {
        Instance plugin;
        loadProgram(plugin, program);
        Stereo out(in.left.size());
        for (std::size_t at = 0; at < in.left.size(); at += block) {
            const auto n = static_cast<std::uint32_t>(std::min(block, in.left.size() - at));
            EXPECT_EQ(plugin.process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], n), kProcessContinue);
        }
        return out;
    });
}

// The reference renders each block in the same pieces through the core directly: one noise
// offset for the whole block, each change taken over where it falls. Events at 0 are in
// force before the block begins; events past the end from the next block on.
TEST(ClapRender, EventsTakeEffectAtTheirFrames) {
    struct Change {
        int index;
        std::uint32_t time;
        float value;
    };
    const std::vector<std::vector<Change>> cases = {
        {{kT60, 200, 0.8f}},
        {{kRoomSize, 100, 0.9f}, {kOut, 100, 0.5f}},
        {{kPan, 0, 0.1f}, {kDryOut, 511, 1.0f}},
        {{kDamping, 100, 0.9f}, {kDamping, 400, 0.1f}},
        {{kHold, 300, 0.7f}, {kDensity, 100, 0.2f}},  // out of order: the second at the first's frame
        {{kOut, 700, 0.3f}},                          // past the block
    };
    constexpr std::uint32_t kBlock = 512;
    constexpr std::size_t kBlocks = 32;  // long enough for the lines to bring back what a change shaped
    const Stereo in = testSignal(kBlocks * kBlock);
    for (std::size_t c = 0; c < cases.size(); ++c) {
        ReverbCore core;
        core.setSampleRate(kRate);
        core.resume();
        Stereo expected(in.left.size()), out(in.left.size());
        Instance plugin;
        for (std::size_t b = 0; b < kBlocks; ++b) {
            const std::size_t at = b * kBlock;
            EventList events;
            std::uint32_t done = 0;
            float offset = 0.0f;
            bool begun = false;
            const auto renderTo = [&](std::uint32_t end) {
                if (!begun) offset = core.beginBlock(), begun = true;
                if (end <= done) return;
                core.takeOverChanges();
                core.renderFrames(&in.left[at + done], &in.right[at + done], &expected.left[at + done],
                                  &expected.right[at + done], static_cast<int>(end - done), offset, false);
                done = end;
            };
            if (b == 3) {
                for (const Change& change : cases[c]) {
                    events.value(change.time, change.index, plainOf(change.index, change.value));
                    if (change.time > 0) renderTo(std::min(change.time, kBlock));
                    core.setParameter(change.index, change.value);
                }
            }
            renderTo(kBlock);
            plugin.process(&in.left[at], &in.right[at], &out.left[at], &out.right[at], kBlock, &events);
        }
        EXPECT_TRUE(sameBits(out, expected)) << "case " << c;
    }
}

// Each bad event is passed over or held to the range; the values after the block say which.
TEST(ClapRender, BadEventsAreIgnoredOrHeld) {
    constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        Id id;
        double value;
        std::uint16_t space, type;
        std::uint32_t size;
        float expected;  // T60's normalised value afterwards; -1: unchanged
    } cases[] = {
        {"in range", kT60, 2170.0, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), 0.3f},
        {"above the range", kT60, 1e9, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), 1.0f},
        {"below the range", kT60, -1e9, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), 0.0f},
        {"NaN", kT60, kNan, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), -1},
        {"infinite", kT60, kInf, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), -1},
        {"unknown id", 13, 2170.0, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), -1},
        {"invalid id", kInvalidId, 2170.0, kCoreEventSpace, kEventParamValue, sizeof(ParamValueEvent), -1},
        {"other space", kT60, 2170.0, 7, kEventParamValue, sizeof(ParamValueEvent), -1},
        {"modulation", kT60, 2170.0, kCoreEventSpace, kEventParamMod, sizeof(ParamValueEvent), -1},
        {"short event", kT60, 2170.0, kCoreEventSpace, kEventParamValue, sizeof(EventHeader), -1},
    };
    std::vector<float> left(64, 0.1f), right(64, 0.1f);
    for (const auto& c : cases) {
        for (bool flush : {false, true}) {
            Instance plugin;
            double before[kParameterCount];
            for (int i = 0; i < kParameterCount; ++i) before[i] = plugin.value(i);
            EventList events;
            ParamValueEvent e{};
            e.header = {c.size, 10, c.space, c.type, 0};
            e.paramId = c.id;
            e.value = c.value;
            events.add(e);
            if (flush)
                plugin.params().flush(plugin.plugin, events.list(), nullptr);
            else
                plugin.process(left.data(), right.data(), left.data(), right.data(), 64, &events);
            const double expected = c.expected < 0 ? before[kT60] : plainOf(kT60, c.expected);
            EXPECT_NEAR(plugin.value(kT60), expected, 1e-3) << c.what << (flush ? " (flush)" : "");
            for (int i = 0; i < kParameterCount; ++i)
                if (i != kT60) {
                    EXPECT_EQ(plugin.value(i), before[i]) << c.what;
                }
        }
    }
}

// Buffers a host should not send: the block renders nothing, its outputs are silent, its
// events still count. A mono input is heard on both sides.
TEST(ClapRender, BadBuffersGiveSilenceAndKeepTheEvents) {
    constexpr std::uint32_t kFrames = 256;
    std::vector<float> inLeft(kFrames, 0.5f), inRight(kFrames, 0.5f), outLeft(kFrames, 9.0f), outRight(kFrames, 9.0f);
    float* inputs[2] = {inLeft.data(), inRight.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    float* nulls[2] = {nullptr, nullptr};
    const struct {
        const char* what;
        float** in;
        std::uint32_t inChannels;
        float** out;
        std::uint32_t outChannels;
    } cases[] = {
        {"no input data", nullptr, 2, outputs, 2},     {"no output data", inputs, 2, nullptr, 2},
        {"one output channel", inputs, 2, outputs, 1}, {"no input channels", inputs, 0, outputs, 2},
        {"null channels", nulls, 2, outputs, 2},
    };
    for (const auto& c : cases) {
        Instance plugin;
        std::fill(outLeft.begin(), outLeft.end(), 9.0f);
        std::fill(outRight.begin(), outRight.end(), 9.0f);
        AudioBuffer in{c.in, nullptr, c.inChannels, 0, 0};
        AudioBuffer out{c.out, nullptr, c.outChannels, 0, 0};
        EventList events;
        events.value(5, kT60, 7000.0);
        const Process p{0, kFrames, nullptr, &in, &out, 1, 1, events.list(), nullptr};
        EXPECT_EQ(plugin.plugin->process(plugin.plugin, &p), kProcessContinue) << c.what;
        if (c.out) {
            EXPECT_EQ(outLeft[kFrames - 1], 0.0f) << c.what;
        }
        if (c.out && c.outChannels > 1) {
            EXPECT_EQ(outRight[0], 0.0f) << c.what;
        }
        EXPECT_DOUBLE_EQ(plugin.value(kT60), 7000.0) << c.what;
        const Process none{0, kFrames, nullptr, nullptr, nullptr, 0, 0, nullptr, nullptr};
        EXPECT_EQ(plugin.plugin->process(plugin.plugin, &none), kProcessContinue) << c.what;
    }
    // Longer than the 4096 frames promised at activation: refused, the buffers untouched.
    Instance plugin;
    std::fill(outLeft.begin(), outLeft.end(), 9.0f);
    AudioBuffer in{inputs, nullptr, 2, 0, 0}, out{outputs, nullptr, 2, 0, 0};
    EventList events;
    events.value(0, kT60, 100.0);
    const Process tooLong{0, 4097, nullptr, &in, &out, 1, 1, events.list(), nullptr};
    EXPECT_EQ(plugin.plugin->process(plugin.plugin, &tooLong), kProcessError);
    EXPECT_EQ(outLeft[0], 9.0f);
    EXPECT_DOUBLE_EQ(plugin.value(kT60), 100.0);
    EXPECT_EQ(plugin.plugin->process(plugin.plugin, nullptr), kProcessError);

    const Stereo signal = testSignal(4096);
    Stereo mono(4096), stereo(4096);
    Instance a, b;
    for (std::uint32_t at = 0; at < 4096; at += kFrames) {
        float* monoIn[1] = {const_cast<float*>(&signal.left[at])};
        float* monoOut[2] = {&mono.left[at], &mono.right[at]};
        AudioBuffer in{monoIn, nullptr, 1, 0, 0};
        AudioBuffer out{monoOut, nullptr, 2, 0, 0};
        const Process p{0, kFrames, nullptr, &in, &out, 1, 1, nullptr, nullptr};
        a.plugin->process(a.plugin, &p);
        b.process(&signal.left[at], &signal.left[at], &stereo.left[at], &stereo.right[at], kFrames);
    }
    EXPECT_TRUE(sameBits(mono, stereo));
}
