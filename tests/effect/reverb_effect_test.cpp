#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "effect/reverb_effect.h"

namespace {

// Exposes the engine's settings, which the host can only hear.
class InspectedEffect : public ReverbEffect {
public:
    InspectedEffect() : ReverbEffect(nullptr) {}
    ReverbSettings engineSettings() {
        core.takeOverChanges();
        return core.engine().settings();
    }
    int32_t engineRate() { return engineSettings().sampleRate; }
};

struct Block {
    explicit Block(int frames, float fill = 0.0f)
        : inL(frames, 0.0f), inR(frames, 0.0f), outL(frames, fill), outR(frames, fill) {}
    std::vector<float> inL, inR, outL, outR;
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};
};

std::string text(void (ReverbEffect::*get)(VstInt32, char*), ReverbEffect& effect, int index) {
    char buffer[64] = "untouched";
    (effect.*get)(index, buffer);
    return buffer;
}

TEST(ReverbEffect, ConstructionLeavesProgramZeroLiveAndTheRecordFilled) {
    InspectedEffect effect;
    EXPECT_EQ(effect.getParameter(0), 0.5f);
    EXPECT_EQ(effect.getParameter(1), 0.75f);
    EXPECT_EQ(effect.getParameter(9), 1.0f);
    EXPECT_EQ(effect.getParameter(13), 0.0f);
    EXPECT_EQ(effect.getParameter(-1), 0.0f);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 0);

    const AEffect& record = effect.record;
    EXPECT_EQ(record.magic, 0x56737450);
    EXPECT_EQ(record.numPrograms, 8);
    EXPECT_EQ(record.numParams, 13);
    EXPECT_EQ(record.numInputs, 2);
    EXPECT_EQ(record.numOutputs, 2);
    EXPECT_EQ(record.uniqueID, 0x5476486D);
    EXPECT_EQ(record.flags, effFlagsHasClip | effFlagsHasVu | effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_EQ(record.initialDelay, 0);
    EXPECT_EQ(record.object, &effect);
    EXPECT_EQ(effect.engineRate(), 44100);
}

TEST(ReverbEffect, ProgramZeroReachesTheEngineInPhysicalUnits) {
    InspectedEffect effect;
    const ReverbSettings s = effect.engineSettings();
    EXPECT_EQ(s.pan, 0.5f);
    EXPECT_EQ(s.lateLevel, 1.0f);
    EXPECT_EQ(s.t60, 2.17f);
    EXPECT_EQ(s.damping, 3250.0f);
    EXPECT_EQ(s.density, 0.5f);
    EXPECT_EQ(s.earlyDelay, 0.25f);
    EXPECT_FLOAT_EQ(s.highCut, 4000.08f);
    EXPECT_FLOAT_EQ(s.lowCut, 150.085f);
    EXPECT_FALSE(s.dry);
    EXPECT_EQ(s.threshold, 0.0f);
    EXPECT_FLOAT_EQ(s.holdTime, 0.01f);
    EXPECT_EQ(s.roomSize, 0.5f);
    EXPECT_EQ(s.earlyLevel, 0.3f);
}

TEST(ReverbEffect, OutAndEarlyLevelStayCoupled) {
    InspectedEffect effect;
    effect.setParameter(kOut, 0.0f);
    EXPECT_FLOAT_EQ(effect.engineSettings().lateLevel, 0.001f);
    EXPECT_FLOAT_EQ(effect.engineSettings().earlyLevel, 0.001f * 0.3f);
    effect.setParameter(kEarlyLevel, 0.6f);
    EXPECT_FLOAT_EQ(effect.engineSettings().earlyLevel, 0.001f * 0.6f);
    effect.setParameter(kEarlyLevel, 0.3f);
    effect.setParameter(kOut, 0.75f);
    EXPECT_EQ(effect.engineSettings().lateLevel, 1.0f);
    EXPECT_EQ(effect.engineSettings().earlyLevel, 0.3f);
    effect.setParameter(kOut, 1.0f);
    EXPECT_FLOAT_EQ(effect.engineSettings().lateLevel, 10.0f);
}

// Out is a decibel value: the wet gain is 10^(dB / 20) to the float, all along the range
// (the programs all use 0 dB, where a coarser conversion would still look right).
TEST(ReverbEffect, OutIsTheExactGainOfItsDecibels) {
    InspectedEffect effect;
    for (int step = 0; step <= 100; ++step) {
        const float v = static_cast<float>(step) / 100.0f;
        const double decibels = -60.0 + 80.0 * static_cast<double>(v);
        effect.setParameter(kOut, v);
        EXPECT_EQ(effect.engineSettings().lateLevel, static_cast<float>(std::pow(10.0, decibels / 20.0))) << v;
    }
}

// Host values beyond the range are stored as sent, but the engine hears at most +20 dB of
// wet level either way, and a NaN level as silence.
TEST(ReverbEffect, WetLevelsReachTheEngineWithinTwentyDecibels) {
    const float nan = std::nanf("");
    struct Case {
        float out, earlyLevel, wantLate, wantEarly;
    } cases[] = {
        {1.5f, 0.3f, 10.0f, 3.0f},   // +60 dB asked
        {2.0f, 1.0f, 10.0f, 10.0f},  // +100 dB asked
        {0.75f, 1e30f, 1.0f, 10.0f}, {0.75f, -1e30f, 1.0f, -10.0f}, {nan, 0.3f, 0.0f, 0.0f},
        {0.75f, nan, 1.0f, 0.0f},    {-1.0f, 0.5f, 1e-7f, 5e-8f},  // -140 dB: far below, untouched
    };
    for (const Case& c : cases) {
        InspectedEffect effect;
        effect.setParameter(kOut, c.out);
        effect.setParameter(kEarlyLevel, c.earlyLevel);
        const ReverbSettings s = effect.engineSettings();
        EXPECT_FLOAT_EQ(s.lateLevel, c.wantLate) << c.out << " " << c.earlyLevel;
        EXPECT_FLOAT_EQ(s.earlyLevel, c.wantEarly) << c.out << " " << c.earlyLevel;
        if (!std::isnan(c.out)) {
            EXPECT_EQ(effect.getParameter(kOut), c.out) << "stored as sent";
        }
    }
}

TEST(ReverbEffect, MappingEdges) {
    InspectedEffect effect;
    effect.setParameter(kDryOut, 0.5f);
    EXPECT_FALSE(effect.engineSettings().dry);
    effect.setParameter(kDryOut, 0.5000001f);
    EXPECT_TRUE(effect.engineSettings().dry);
    effect.setParameter(kRoomSize, 0.0f);
    EXPECT_EQ(effect.engineSettings().roomSize, 0.05f);
    EXPECT_EQ(effect.getParameter(kRoomSize), 0.0f);
    effect.setParameter(kT60, 1.0f);
    EXPECT_EQ(effect.engineSettings().t60, 7.0f);
    effect.setParameter(kSensitivity, 0.5f);
    EXPECT_EQ(effect.engineSettings().threshold, 0.5f);
    effect.setParameter(kHold, 1.0f);
    EXPECT_FLOAT_EQ(effect.engineSettings().holdTime, 0.5f);
    effect.setParameter(kHighCut, 0.0f);
    EXPECT_EQ(effect.engineSettings().highCut, 10.0f);  // the engine's floor
}

TEST(ReverbEffect, StoredValuesAreNotClamped) {
    ReverbEffect effect(nullptr);
    effect.setParameter(1, 0.75f);
    EXPECT_EQ(effect.getParameter(1), 0.75f);
    effect.setParameter(1, 1.5f);
    EXPECT_EQ(effect.getParameter(1), 1.5f);
    effect.setParameter(13, 0.4f);
    effect.setParameter(-5, 0.4f);
    EXPECT_EQ(effect.getParameter(13), 0.0f);
}

TEST(ReverbEffect, NamesLabelsAndDisplays) {
    ReverbEffect effect(nullptr);
    EXPECT_EQ(text(&ReverbEffect::getParameterName, effect, 2), "T60\t\t\t");
    EXPECT_EQ(text(&ReverbEffect::getParameterName, effect, 5), "Early ref delay");
    EXPECT_EQ(text(&ReverbEffect::getParameterLabel, effect, 8), "\t\t\t\t");
    EXPECT_EQ(text(&ReverbEffect::getParameterName, effect, 13), "untouched");
    EXPECT_EQ(text(&ReverbEffect::getParameterLabel, effect, -1), "untouched");
    EXPECT_EQ(text(&ReverbEffect::getParameterDisplay, effect, 13), "untouched");
    EXPECT_EQ(text(&ReverbEffect::getParameterDisplay, effect, 2), "2170.000");
    effect.setParameter(kOut, 0.999f);
    EXPECT_EQ(text(&ReverbEffect::getParameterDisplay, effect, kOut), "19.920");
    // Null buffers from a host are ignored.
    effect.getParameterName(0, nullptr);
    effect.getParameterDisplay(0, nullptr);
    effect.getProgramName(nullptr);
    effect.setProgramName(nullptr);
}

// The eight factory programs as musicians know them: names padded to 23 characters and the
// thirteen values of each, as the host reads them back after selecting the program.
TEST(ReverbEffect, FactoryProgramsHoldTheirNamesAndAllThirteenValues) {
    struct Row {
        const char* name;
        float values[13];
    };
    const Row rows[8] = {
        {"Default                ", {0.5f, 0.75f, 0.3f, 0.25f, 0.5f, 0.25f, 0.2f, 0.15f, 0, 1, 0, 0.5f, 0.3f}},
        {"Default hall           ", {0.5f, 0.75f, 0.3f, 0.25f, 1, 0.25f, 0.2f, 0.15f, 1, 1, 0, 0.5f, 0.3f}},
        {"Huge Hall              ", {0.5f, 0.75f, 0.5f, 0.5f, 1, 0.6f, 0.2f, 0.15f, 1, 1, 0, 1, 0.3f}},
        {"Room                   ", {0.5f, 0.75f, 0.09f, 0.75f, 0.5f, 0.25f, 0.3f, 0.15f, 1, 1, 0, 0.3f, 0.5f}},
        {"Full mud               ", {0.5f, 0.75f, 1, 0.6f, 1, 0.6f, 0.3f, 0.1f, 1, 1, 0, 1, 0.3f}},
        {"Gated reverb           ", {0.5f, 0.75f, 0.21f, 0.5f, 0.95f, 0.25f, 0.4f, 0.18f, 1, 0.5f, 0.2f, 0.5f, 0.3f}},
        {"Loud neighbours        ", {0.5f, 0.75f, 0.15f, 0.5f, 0.95f, 0.25f, 0.005f, 0, 0, 1, 0, 0.5f, 0.7f}},
        {"Bathroom               ", {0.5f, 0.75f, 0.23f, 0, 0.5f, 0.15f, 0.2f, 0.15f, 1, 1, 0, 0.2f, 0.5f}},
    };
    ReverbEffect effect(nullptr);
    for (int p = 0; p < 8; ++p) {
        char name[64] = "";
        EXPECT_TRUE(effect.getProgramNameIndexed(0, p, name));
        EXPECT_STREQ(name, rows[p].name) << "program " << p;
        effect.setProgram(p);
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(effect.getParameter(i), rows[p].values[i]) << "program " << p << ", parameter " << i;
    }
}

TEST(ReverbEffect, ProgramsKeepTheirEditsAndNames) {
    ReverbEffect effect(nullptr);
    char name[64];
    effect.getProgramName(name);
    EXPECT_STREQ(name, "Default                ");
    EXPECT_TRUE(effect.getProgramNameIndexed(7, 2, name));
    EXPECT_STREQ(name, "Huge Hall              ");
    std::strcpy(name, "kept");
    EXPECT_FALSE(effect.getProgramNameIndexed(0, 8, name));
    EXPECT_FALSE(effect.getProgramNameIndexed(0, -1, name));
    EXPECT_STREQ(name, "kept");

    effect.setProgram(5);
    EXPECT_EQ(effect.getParameter(10), 0.2f);
    EXPECT_EQ(effect.getParameter(9), 0.5f);

    effect.setProgram(2);
    effect.setParameter(4, 0.33f);
    effect.setProgram(0);
    effect.setProgram(2);
    EXPECT_EQ(effect.getParameter(4), 0.33f);

    effect.setProgram(3);
    effect.setParameter(2, 0.77f);
    effect.setProgram(3);
    EXPECT_EQ(effect.getParameter(2), 0.77f);  // not the factory value again

    effect.setProgram(0);
    char renamed[] = "My room";
    effect.setProgramName(renamed);
    effect.setProgram(1);
    effect.setProgram(0);
    effect.getProgramName(name);
    EXPECT_STREQ(name, "My room");

    char longName[] = "A program name that is much too long for the slot";
    effect.setProgramName(longName);
    effect.getProgramName(name);
    EXPECT_STREQ(name, "A program name that is ");

    effect.setProgram(8);
    effect.setProgram(-1);
    EXPECT_EQ(effect.getProgram(), 0);
}

TEST(ReverbEffect, IdentityAndCapabilities) {
    ReverbEffect effect(nullptr);
    char buffer[64];
    EXPECT_TRUE(effect.getEffectName(buffer));
    EXPECT_STREQ(buffer, "Hallmere");
    EXPECT_TRUE(effect.getVendorString(buffer));
    EXPECT_STREQ(buffer, "Tovik");
    EXPECT_TRUE(effect.getProductString(buffer));
    EXPECT_STREQ(buffer, "Tovik VST PLUGIN");
    EXPECT_TRUE(effect.getErrorText(buffer));
    EXPECT_STREQ(buffer, "Error");
    // Hosts know the plug-in by this number: it stays 105 through every release.
    EXPECT_EQ(effect.getVendorVersion(), 105);

    auto can = [&](const char* capability) {
        std::string copy = capability;
        return effect.dispatcher(effCanDo, 0, 0, copy.data(), 0.0f);
    };
    EXPECT_EQ(can("2in2out"), 1);
    EXPECT_EQ(can("plugAsChannelInsert"), 1);
    EXPECT_EQ(can("1in1out"), 1);
    EXPECT_EQ(can("2in4out"), -1);
    EXPECT_EQ(can("plugassend"), -1);
    EXPECT_EQ(can(""), -1);
    EXPECT_EQ(can("receiveVstEvents"), -1);
}

TEST(ReverbEffect, AccumulatingAddsAndReplacingOverwrites) {
    ReverbEffect a(nullptr), b(nullptr);
    Block accumulate(2048, 0.25f), replace(2048, 0.25f);
    accumulate.inL[0] = replace.inL[0] = 1.0f;
    a.process(accumulate.in, accumulate.out, 2048);
    b.processReplacing(replace.in, replace.out, 2048);
    bool anyWet = false;
    for (int i = 0; i < 2048; ++i) {
        EXPECT_EQ(accumulate.outL[i], replace.outL[i] + 0.25f) << i;
        EXPECT_EQ(accumulate.outR[i], replace.outR[i] + 0.25f) << i;
        anyWet |= replace.outL[i] != 0.0f;
    }
    EXPECT_TRUE(anyWet);
}

TEST(ReverbEffect, EmptyOrMalformedBlocksLeaveOutputsAlone) {
    ReverbEffect effect(nullptr);
    Block block(16, 0.5f);
    block.inL[0] = 1.0f;
    effect.process(block.in, block.out, 0);
    effect.processReplacing(block.in, block.out, 0);
    effect.processReplacing(block.in, block.out, -7);
    effect.processReplacing(nullptr, block.out, 16);
    effect.processReplacing(block.in, nullptr, 16);
    float* halfOut[2] = {block.outL.data(), nullptr};
    effect.processReplacing(block.in, halfOut, 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(block.outL[i], 0.5f);
    EXPECT_EQ(effect.getVu(), 0.0f);
}

TEST(ReverbEffect, MeterHandsOutThePeakOnce) {
    ReverbEffect effect(nullptr);
    EXPECT_EQ(effect.getVu(), 0.0f);
    effect.setParameter(kDryOut, 1.0f);
    effect.setParameter(kOut, 0.0f);
    Block block(64);
    block.inL[10] = 0.8f;
    block.inR[20] = -0.6f;
    effect.processReplacing(block.in, block.out, 64);
    float peak = 0.0f;
    for (int i = 0; i < 64; ++i) peak = std::max({peak, std::fabs(block.outL[i]), std::fabs(block.outR[i])});
    EXPECT_GT(peak, 0.79f);
    EXPECT_EQ(effect.getVu(), peak);
    EXPECT_EQ(effect.getVu(), 0.0f);
    EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 0);
}

// A panel of its own (outside VST 2.x) reads a second copy of the peak: a host polling the
// level takes nothing from it, and neither takes the other's.
TEST(ReverbCore, ThePanelPeakIsGatheredBesideTheHostsPeak) {
    ReverbCore core;
    core.setParameter(kDryOut, 1.0f);
    core.setParameter(kOut, 0.0f);
    Block block(64);
    block.inL[10] = 0.8f;
    core.render(block.inL.data(), block.inR.data(), block.outL.data(), block.outR.data(), 64, false);
    const float peak = core.takePeak();
    EXPECT_GT(peak, 0.79f);
    EXPECT_EQ(core.takePanelPeak(), peak);
    EXPECT_EQ(core.takePanelPeak(), 0.0f);
    EXPECT_EQ(core.takePeak(), 0.0f);
}

TEST(ReverbEffect, SampleRateReachesTheEngineTruncated) {
    InspectedEffect effect;
    effect.setSampleRate(48000.0f);
    EXPECT_EQ(effect.engineRate(), 48000);
    effect.setSampleRate(44100.7f);
    EXPECT_EQ(effect.engineRate(), 44100);
    effect.setSampleRate(200000.0f);
    EXPECT_EQ(effect.engineRate(), 96000);
    // Rate stored by the block-size-and-rate request without telling the engine: a following
    // request for the same rate changes nothing.
    effect.dispatcher(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 48000.0f);
    effect.dispatcher(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ(effect.engineRate(), 96000);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
}

TEST(ReverbEffect, ResumeRecomputesWithoutClearing) {
    ReverbEffect a(nullptr), b(nullptr);
    Block first(512), second(512);
    first.inL[0] = 1.0f;
    a.processReplacing(first.in, first.out, 512);
    b.processReplacing(first.in, second.out, 512);
    a.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    a.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    Block tailA(512), tailB(512);
    a.processReplacing(tailA.in, tailA.out, 512);
    b.processReplacing(tailB.in, tailB.out, 512);
    EXPECT_EQ(tailA.outL, tailB.outL);  // the tail goes on as if nothing happened
    bool ringing = false;
    for (float s : tailA.outL) ringing |= std::fabs(s) > 1e-6f;
    EXPECT_TRUE(ringing);
}

}  // namespace
