#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "test_effect.h"

namespace {

// What one wrapper must send: opcode, index, value, pointer and opt.
struct Expected {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    void* ptr;
    float opt;
};

int marker[4];  // stands for the host-owned records passed through by pointer
auto* const task = reinterpret_cast<VstOfflineTask*>(&marker[0]);
auto* const files = reinterpret_cast<VstAudioFile*>(&marker[1]);
auto* const window = reinterpret_cast<VstWindow*>(&marker[2]);
auto* const selector = reinterpret_cast<VstFileSelect*>(&marker[3]);
char text[64] = "";

struct WrapperCase {
    std::string name;
    std::function<void(TestEffect&)> call;
    Expected sent;
};

std::vector<WrapperCase> wrapperCases() {
    return {
        {"setParameterAutomated", [](TestEffect& e) { e.setParameterAutomated(5, 0.25f); }, {0, 5, 0, nullptr, 0.25f}},
        {"hostVersion", [](TestEffect& e) { e.hostVersion(); }, {1, 0, 0, nullptr, 0}},
        {"hostCurrentId", [](TestEffect& e) { e.hostCurrentId(); }, {2, 0, 0, nullptr, 0}},
        {"hostIdle", [](TestEffect& e) { e.hostIdle(); }, {3, 0, 0, nullptr, 0}},
        {"isInputConnected", [](TestEffect& e) { e.isInputConnected(3); }, {4, 3, 0, nullptr, 0}},
        {"isOutputConnected", [](TestEffect& e) { e.isOutputConnected(1); }, {4, 1, 1, nullptr, 0}},
        {"hostWantMidi", [](TestEffect& e) { e.hostWantMidi(9); }, {6, 0, 9, nullptr, 0}},
        {"hostGetTime", [](TestEffect& e) { e.hostGetTime(0x200); }, {7, 0, 0x200, nullptr, 0}},
        {"hostTempoAt", [](TestEffect& e) { e.hostTempoAt(4410); }, {10, 0, 4410, nullptr, 0}},
        {"hostGetNumAutomatableParameters",
         [](TestEffect& e) { e.hostGetNumAutomatableParameters(); },
         {11, 0, 0, nullptr, 0}},
        {"hostGetParameterQuantization",
         [](TestEffect& e) { e.hostGetParameterQuantization(); },
         {12, 0, 0, nullptr, 0}},
        {"hostIoChanged", [](TestEffect& e) { e.hostIoChanged(); }, {13, 0, 0, nullptr, 0}},
        {"hostNeedIdle", [](TestEffect& e) { e.hostNeedIdle(); }, {14, 0, 0, nullptr, 0}},
        {"hostSizeWindow", [](TestEffect& e) { e.hostSizeWindow(448, 251); }, {15, 448, 251, nullptr, 0}},
        {"hostGetSampleRate", [](TestEffect& e) { e.hostGetSampleRate(); }, {16, 0, 0, nullptr, 0}},
        {"hostGetBlockSize", [](TestEffect& e) { e.hostGetBlockSize(); }, {17, 0, 0, nullptr, 0}},
        {"hostGetInputLatency", [](TestEffect& e) { e.hostGetInputLatency(); }, {18, 0, 0, nullptr, 0}},
        {"hostGetOutputLatency", [](TestEffect& e) { e.hostGetOutputLatency(); }, {19, 0, 0, nullptr, 0}},
        {"hostGetPreviousPlug", [](TestEffect& e) { e.hostGetPreviousPlug(3); }, {20, 0, 0, nullptr, 0}},
        {"hostGetNextPlug", [](TestEffect& e) { e.hostGetNextPlug(3); }, {21, 0, 0, nullptr, 0}},
        {"hostWillReplaceOrAccumulate", [](TestEffect& e) { e.hostWillReplaceOrAccumulate(); }, {22, 0, 0, nullptr, 0}},
        {"hostGetCurrentProcessLevel", [](TestEffect& e) { e.hostGetCurrentProcessLevel(); }, {23, 0, 0, nullptr, 0}},
        {"hostGetAutomationState", [](TestEffect& e) { e.hostGetAutomationState(); }, {24, 0, 0, nullptr, 0}},
        {"hostOfflineStart", [](TestEffect& e) { e.hostOfflineStart(files, 2, 5); }, {25, 5, 2, files, 0}},
        {"hostOfflineRead", [](TestEffect& e) { e.hostOfflineRead(task, 3, true); }, {26, 1, 3, task, 0}},
        {"hostOfflineWrite", [](TestEffect& e) { e.hostOfflineWrite(task, 4); }, {27, 0, 4, task, 0}},
        {"hostOfflineGetCurrentPass", [](TestEffect& e) { e.hostOfflineGetCurrentPass(); }, {28, 0, 0, nullptr, 0}},
        {"hostOfflineGetCurrentMetaPass",
         [](TestEffect& e) { e.hostOfflineGetCurrentMetaPass(); },
         {29, 0, 0, nullptr, 0}},
        {"hostSetOutputSampleRate",
         [](TestEffect& e) { e.hostSetOutputSampleRate(22050.0f); },
         {30, 0, 0, nullptr, 22050.0f}},
        {"hostGetOutputSpeakerArrangement",
         [](TestEffect& e) { e.hostGetOutputSpeakerArrangement(); },
         {31, 0, 0, nullptr, 0}},
        {"hostGetVendorString", [](TestEffect& e) { e.hostGetVendorString(text); }, {32, 0, 0, text, 0}},
        {"hostGetProductString", [](TestEffect& e) { e.hostGetProductString(text); }, {33, 0, 0, text, 0}},
        {"hostGetVendorVersion", [](TestEffect& e) { e.hostGetVendorVersion(); }, {34, 0, 0, nullptr, 0}},
        {"hostVendorSpecific", [](TestEffect& e) { e.hostVendorSpecific(7, 8, task, 0.5f); }, {35, 7, 8, task, 0.5f}},
        {"hostCanDo", [](TestEffect& e) { e.hostCanDo(text); }, {37, 0, 0, text, 0}},
        {"hostGetLanguage", [](TestEffect& e) { e.hostGetLanguage(); }, {38, 0, 0, nullptr, 0}},
        {"hostOpenWindow", [](TestEffect& e) { e.hostOpenWindow(window); }, {39, 0, 0, window, 0}},
        {"hostCloseWindow", [](TestEffect& e) { e.hostCloseWindow(window); }, {40, 0, 0, window, 0}},
        {"hostGetDirectory", [](TestEffect& e) { e.hostGetDirectory(); }, {41, 0, 0, nullptr, 0}},
        {"hostUpdateDisplay", [](TestEffect& e) { e.hostUpdateDisplay(); }, {42, 0, 0, nullptr, 0}},
        {"hostBeginEdit", [](TestEffect& e) { e.hostBeginEdit(6); }, {43, 6, 0, nullptr, 0}},
        {"hostEndEdit", [](TestEffect& e) { e.hostEndEdit(6); }, {44, 6, 0, nullptr, 0}},
        {"hostOpenFileSelector", [](TestEffect& e) { e.hostOpenFileSelector(selector); }, {45, 0, 0, selector, 0}},
        {"hostGetInputSpeakerArrangement",
         [](TestEffect& e) { e.hostGetInputSpeakerArrangement(); },
         {49, 0, 0, nullptr, 0}},
    };
}

TEST(HostCalls, EachWrapperSendsItsRequestOnce) {
    for (const WrapperCase& c : wrapperCases()) {
        FakeHost host;
        TestEffect effect(host.callback());
        c.call(effect);
        ASSERT_EQ(host.calls.size(), 1u) << c.name;
        const HostCall& sent = host.calls[0];
        EXPECT_EQ(sent.effect, &effect.record) << c.name;
        EXPECT_EQ(sent.opcode, c.sent.opcode) << c.name;
        EXPECT_EQ(sent.index, c.sent.index) << c.name;
        EXPECT_EQ(sent.value, c.sent.value) << c.name;
        EXPECT_EQ(sent.ptr, c.sent.ptr) << c.name;
        EXPECT_EQ(sent.opt, c.sent.opt) << c.name;
    }
}

TEST(HostCalls, DefaultsWithoutAHost) {
    TestEffect effect(nullptr);
    EXPECT_EQ(effect.hostVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_EQ(effect.hostGetSampleRate(), 44100.0f);
    EXPECT_EQ(effect.hostGetBlockSize(), 1024);
    EXPECT_EQ(effect.hostCurrentId(), 0);
    EXPECT_EQ(effect.hostCanDo(text), 0);
    EXPECT_FALSE(effect.hostSizeWindow(1, 1));
    EXPECT_FALSE(effect.hostBeginEdit(0));
    EXPECT_FALSE(effect.hostOpenFileSelector(selector));
    EXPECT_EQ(effect.hostGetTime(0), nullptr);
    EXPECT_EQ(effect.hostGetPreviousPlug(0), nullptr);
    EXPECT_EQ(effect.hostOpenWindow(window), nullptr);
    EXPECT_EQ(effect.hostOfflineGetCurrentPass(), 0);

    effect.setParameterAutomated(2, 0.5f);
    ASSERT_EQ(effect.parameterSets.size(), 1u);
    EXPECT_EQ(effect.parameterSets[0].index, 2);
    EXPECT_EQ(effect.parameterSets[0].value, 0.5f);
}

TEST(HostCalls, AutomationSetsTheParameterBeforeTellingTheHost) {
    FakeHost host;
    TestEffect effect(host.callback());
    effect.watchedHost = &host;
    effect.setParameterAutomated(4, 0.125f);
    ASSERT_EQ(effect.parameterSets.size(), 1u);
    EXPECT_EQ(effect.hostCallsAtLastSet, 0u);
    EXPECT_EQ(host.calls.size(), 1u);
}

TEST(HostCalls, AnswersAreConverted) {
    FakeHost host;
    TestEffect effect(host.callback());

    host.answer(audioMasterVersion, 0);
    EXPECT_EQ(effect.hostVersion(), 1);
    host.answer(audioMasterVersion, 2400);
    EXPECT_EQ(effect.hostVersion(), 2400);

    host.answer(audioMasterCanDo, -1);
    EXPECT_EQ(effect.hostCanDo(text), 1);
    host.answer(audioMasterCanDo, 0);
    EXPECT_EQ(effect.hostCanDo(text), 0);

    host.answer(audioMasterPinConnected, 1);
    EXPECT_FALSE(effect.isInputConnected(0));
    EXPECT_FALSE(effect.isOutputConnected(0));
    host.answer(audioMasterPinConnected, 0);
    EXPECT_TRUE(effect.isInputConnected(0));

    host.answer(audioMasterSizeWindow, -1);
    EXPECT_TRUE(effect.hostSizeWindow(10, 10));
    host.answer(audioMasterOfflineGetCurrentPass, 5);
    EXPECT_EQ(effect.hostOfflineGetCurrentPass(), 1);
    host.answer(audioMasterTempoAt, 1200000);
    EXPECT_EQ(effect.hostTempoAt(0), 1200000);

    AEffect neighbour{};
    host.answer(audioMasterGetNextPlug, reinterpret_cast<VstIntPtr>(&neighbour));
    EXPECT_EQ(effect.hostGetNextPlug(0), &neighbour);
}

TEST(HostCalls, OnlyPositiveRatesAndSizesAreKept) {
    FakeHost host;
    TestEffect effect(host.callback());
    host.answer(audioMasterGetSampleRate, 48000);
    host.answer(audioMasterGetBlockSize, 256);
    EXPECT_EQ(effect.hostGetSampleRate(), 48000.0f);
    EXPECT_EQ(effect.hostGetBlockSize(), 256);
    for (VstIntPtr bad : {VstIntPtr{0}, VstIntPtr{-1}, VstIntPtr{-96000}}) {
        host.answer(audioMasterGetSampleRate, bad);
        host.answer(audioMasterGetBlockSize, bad);
        EXPECT_EQ(effect.hostGetSampleRate(), 48000.0f);
        EXPECT_EQ(effect.hostGetBlockSize(), 256);
    }
    EXPECT_EQ(effect.sampleRate, 48000.0f);
    EXPECT_EQ(effect.blockSize, 256);
}

TEST(HostCalls, MissingArgumentsSendNothing) {
    FakeHost host;
    TestEffect effect(host.callback());
    host.answer(audioMasterOpenFileSelector, 1);
    host.answer(audioMasterCanDo, 1);
    host.answer(audioMasterGetVendorString, 1);
    host.answer(audioMasterCloseWindow, 1);
    EXPECT_FALSE(effect.hostOpenFileSelector(nullptr));
    EXPECT_EQ(effect.hostCanDo(nullptr), 0);
    EXPECT_FALSE(effect.hostGetVendorString(nullptr));
    EXPECT_FALSE(effect.hostGetProductString(nullptr));
    EXPECT_EQ(effect.hostOpenWindow(nullptr), nullptr);
    EXPECT_FALSE(effect.hostCloseWindow(nullptr));
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
