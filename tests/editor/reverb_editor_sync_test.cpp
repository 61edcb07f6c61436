#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "effect/parameter_table.h"
#include "gui/knob.h"
#include "gui/draw_context.h"
#include "gui/movie_bitmap.h"
#include "gui/param_display.h"
#include "gui/splash_screen.h"
#include "gui/vu_meter.h"
#include "reverb_rig.h"

namespace {

TEST(ReverbSyncFromEffect, HostAutomationMovesKnobAndDisplay) {
    ReverbRig rig;
    rig.open();
    rig.idle();
    // Without a window nothing is drawn: mark the panel as shown.
    for (int i = 0; i < rig.frame()->viewCount(); ++i) rig.frame()->viewAt(i)->setDirty(false);
    Control* knob = rig.editor->controlFor(kT60);
    ParamDisplay* display = rig.editor->displayFor(kT60);

    rig.automate(kT60, 0.8f);
    EXPECT_FLOAT_EQ(knob->getValue(), 0.8f);
    EXPECT_FLOAT_EQ(display->getValue(), 0.8f);
    EXPECT_TRUE(knob->isDirty());  // redrawn by the frame's next idle
    EXPECT_TRUE(display->isDirty());
    EXPECT_TRUE(rig.editor->isUpdateRequested());
    EXPECT_FALSE(rig.editor->controlFor(kDamping)->isDirty());
}

TEST(ReverbSyncFromEffect, ClosedEditorIgnoresChanges) {
    ReverbRig rig;
    rig.open();
    rig.idle();
    rig.close();
    rig.automate(kT60, 0.3f);
    EXPECT_FALSE(rig.editor->isUpdateRequested());
    EXPECT_FLOAT_EQ(rig.plugin.getParameter(kT60), 0.3f);  // the effect still takes it
}

TEST(ReverbSyncFromEffect, OutOfRangeIndicesOnlyRequestAnUpdate) {
    ReverbRig rig;
    rig.open();
    rig.idle();
    std::vector<float> before;
    for (int index = 0; index < kParameterCount; ++index) before.push_back(rig.editor->controlFor(index)->getValue());
    for (VstInt32 index : {-1, 13, 101, 0x7FFFFFFF}) {
        rig.editor->setParameter(index, 1.0f);
        rig.automate(index, 1.0f);
    }
    EXPECT_TRUE(rig.editor->isUpdateRequested());
    for (int index = 0; index < kParameterCount; ++index)
        EXPECT_FLOAT_EQ(rig.editor->controlFor(index)->getValue(), before[index]);
}

// Logs the parameters read back, which the panel does each time it is told of a change.
class ReadLoggingPlugin : public ReverbPlugin {
public:
    using ReverbPlugin::ReverbPlugin;
    float getParameter(VstInt32 index) override {
        reads.push_back(index);
        return ReverbPlugin::getParameter(index);
    }
    std::vector<VstInt32> reads;
};

TEST(ReverbSyncFromEffect, ProgramChangeTellsTheEditorThirteenTimesInOrder) {
    PluginRig<ReadLoggingPlugin> rig;
    rig.open();
    rig.plugin.reads.clear();
    rig.dispatch(effSetProgram, 0, 2);
    // Told of each index in turn, the panel reads it back once per element that shows it.
    std::vector<VstInt32> expected;
    for (int index = 0; index < kParameterCount; ++index) {
        if (rig.editor->controlFor(index)) expected.push_back(index);
        if (rig.editor->displayFor(index)) expected.push_back(index);
    }
    EXPECT_EQ(rig.plugin.reads, expected);
    for (int index = 0; index < kParameterCount; ++index)
        EXPECT_EQ(rig.editor->controlFor(index)->getValue(), rig.plugin.ReverbPlugin::getParameter(index)) << index;
}

TEST(ReverbSyncFromEffect, ChangesFromAnotherThreadWaitForTheWindowThreadsIdle) {
    ReverbRig rig;
    rig.open();
    rig.idle();
    Control* knob = rig.editor->controlFor(kRoomSize);
    const float shown = knob->getValue();
    std::thread audio([&] { rig.automate(kRoomSize, 0.9f); });
    audio.join();
    EXPECT_FLOAT_EQ(rig.plugin.getParameter(kRoomSize), 0.9f);
    EXPECT_FLOAT_EQ(knob->getValue(), shown);  // the views belong to the window thread
    EXPECT_TRUE(rig.editor->isUpdateRequested());
    rig.idle();
    EXPECT_FLOAT_EQ(knob->getValue(), 0.9f);
    EXPECT_FLOAT_EQ(rig.editor->displayFor(kRoomSize)->getValue(), 0.9f);
}

// A plug-in whose Room size changes on the audio thread just after the panel read it.
class RacingPlugin : public ReverbPlugin {
public:
    using ReverbPlugin::ReverbPlugin;
    bool armed = false;
    float getParameter(VstInt32 index) override {
        const float value = ReverbPlugin::getParameter(index);
        if (armed && index == kRoomSize) {
            armed = false;
            std::thread([this] { record.setParameter(&record, kRoomSize, 0.9f); }).join();
        }
        return value;
    }
};

TEST(ReverbSyncFromEffect, AChangeWhileThePanelIsBuiltShowsAtTheNextIdle) {
    PluginRig<RacingPlugin> rig;
    ASSERT_NE(rig.editor, nullptr);
    rig.plugin.setParameter(kRoomSize, 0.2f);
    rig.plugin.armed = true;
    rig.open();
    ASSERT_FALSE(rig.plugin.armed) << "the panel never read Room size";
    rig.idle();
    EXPECT_FLOAT_EQ(rig.editor->controlFor(kRoomSize)->getValue(), 0.9f);
    EXPECT_FLOAT_EQ(rig.editor->displayFor(kRoomSize)->getValue(), 0.9f);
}

// A program change from the audio thread touches all thirteen parameters at once: every
// control and display must show its new value after the window thread's next idle.
TEST(ReverbSyncFromEffect, ProgramChangeFromAnotherThreadShowsEveryValueAtTheNextIdle) {
    for (int program = 1; program < 8; ++program) {
        ReverbRig rig;
        rig.open();
        for (int index = 0; index < kParameterCount; ++index) rig.automate(index, 0.123f);
        rig.idle();
        std::thread audio([&] { rig.dispatch(effSetProgram, 0, program); });
        audio.join();
        rig.idle();
        for (int index = 0; index < kParameterCount; ++index) {
            const float stored = rig.plugin.getParameter(index);
            ASSERT_NE(stored, 0.123f);
            EXPECT_EQ(rig.editor->controlFor(index)->getValue(), stored) << program << ", " << index;
            if (ParamDisplay* display = rig.editor->displayFor(index)) {
                EXPECT_EQ(display->getValue(), stored) << program << ", " << index;
            }
        }
    }
}

TEST(ReverbSyncFromPanel, ParameterControlsAutomateTheEffect) {
    ReverbRig rig;
    rig.open();
    rig.host.clear();
    Control* knob = rig.editor->controlFor(kHighCut);
    knob->setValue(0.25f);
    rig.editor->controlChanged(nullptr, knob);
    EXPECT_FLOAT_EQ(rig.plugin.getParameter(kHighCut), 0.25f);
    auto automated = rig.host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, kHighCut);
    EXPECT_FLOAT_EQ(automated[0].opt, 0.25f);
    EXPECT_FLOAT_EQ(rig.editor->displayFor(kHighCut)->getValue(), 0.25f);
    EXPECT_TRUE(knob->isDirty());  // no context: left for the idle redraw
}

TEST(ReverbSyncFromPanel, SplashAndLedEditNothing) {
    ReverbRig rig;
    rig.open();
    rig.host.clear();
    std::vector<float> before;
    for (int index = 0; index < kParameterCount; ++index) before.push_back(rig.plugin.getParameter(index));
    rig.editor->splash()->setValue(1.0f);
    rig.editor->controlChanged(nullptr, rig.editor->splash());
    rig.editor->gateLight()->setValue(1.0f);
    rig.editor->controlChanged(nullptr, rig.editor->gateLight());
    rig.editor->controlChanged(nullptr, nullptr);
    EXPECT_TRUE(rig.host.callsOf(audioMasterAutomate).empty());
    for (int index = 0; index < kParameterCount; ++index)
        EXPECT_FLOAT_EQ(rig.plugin.getParameter(index), before[index]);
}

TEST(ReverbSyncFromPanel, AChangeWithAContextIsDrawnAtOnce) {
    ReverbRig rig;
    rig.open();
    Control* button = rig.editor->controlFor(kDryOut);
    button->setDirty(false);
    button->setValue(1.0f - button->getValue());
    ASSERT_TRUE(button->isDirty());
    DrawContext context(rig.frame(), nullptr, nullptr);  // draws nothing, still a context
    rig.editor->controlChanged(&context, button);
    EXPECT_FALSE(button->isDirty());
}

TEST(ReverbSyncFromPanel, AnArrowKeyStepsTheLastKnobAndIsAutomated) {
    ReverbRig rig;
    rig.open();
    rig.host.clear();
    const float before = rig.plugin.getParameter(kRoomSize);
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 0, kArrowUp), 1);
    EXPECT_NEAR(rig.plugin.getParameter(kRoomSize), before + 0.1f, 1e-6);
    auto automated = rig.host.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, kRoomSize);
    EXPECT_EQ(rig.dispatch(effEditKeyDown, 'x', 0), -1);  // no view wants a letter
}

// Feeds the engine until the output has a peak, returning the block's largest sample.
float playBlock(ReverbRig& rig, float level, int frames) {
    std::vector<float> inL(frames, 0.0f), inR(frames, 0.0f), outL(frames), outR(frames);
    for (int i = 0; i < frames; ++i) inL[i] = inR[i] = (i % 2 ? level : -level);
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    rig.plugin.processReplacing(in, out, frames);
    float peak = 0.0f;
    for (int i = 0; i < frames; ++i) peak = std::fmax(peak, std::fmax(std::fabs(outL[i]), std::fabs(outR[i])));
    return peak;
}

TEST(ReverbSyncIdle, MeterTakesThePeakScaledAndConsumesIt) {
    ReverbRig rig;
    rig.open();
    float peak = playBlock(rig, 0.5f, 2048);
    ASSERT_GT(peak, 0.0f);
    rig.idle();
    EXPECT_FLOAT_EQ(rig.editor->levelMeter()->getValue(), peak * ReverbEditor::kMeterScale);
    rig.idle();
    EXPECT_FLOAT_EQ(rig.editor->levelMeter()->getValue(), 0.0f);
}

TEST(ReverbSyncIdle, LedFollowsTheGateState) {
    ReverbRig rig;
    rig.open();
    rig.automate(kSensitivity, 0.5f);  // a threshold the signal below crosses
    std::vector<int> seen;
    auto check = [&] {
        rig.idle();
        const int state = rig.plugin.gateState();
        MovieBitmap* led = rig.editor->gateLight();
        EXPECT_FLOAT_EQ(led->getValue(), float(state) * ReverbEditor::kGateScale);
        EXPECT_EQ(led->imageOffset(), Point(0, 12 * state));
        if (seen.empty() || seen.back() != state) seen.push_back(state);
    };
    playBlock(rig, 0.9f, 512);
    check();
    playBlock(rig, 0.0f, 16);
    check();
    for (int i = 0; i < 40; ++i) {
        playBlock(rig, 0.0f, 512);
        check();
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
}

}  // namespace
