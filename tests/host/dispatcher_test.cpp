#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>

#include "test_effect.h"

namespace {

class Dispatcher : public ::testing::Test {
protected:
    VstIntPtr send(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect.dispatcher(opcode, index, value, ptr, opt);
    }
    TestEffect effect{nullptr, 4, 3};
};

TEST_F(Dispatcher, FixedAnswers) {
    // The answers that need no pointer are checked by the sweep further down.
    EXPECT_EQ(send(effGetCurrentMidiProgram, 0, 0, &effect), -1);
    for (VstInt32 index : {-5, 0, 2, 1000}) EXPECT_EQ(send(effCanBeAutomated, index), 1) << index;
    EXPECT_EQ(send(effConnectInput, 0, 1), 1);
    EXPECT_EQ(send(effSetTotalSampleToProcess, 0, 4096), 4096);
    void* chunk = &effect;
    EXPECT_EQ(send(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(send(effSetChunk, 1, 16, &effect), 0);
}

TEST_F(Dispatcher, KeysRequiredIsAnsweredInverted) {
    EXPECT_EQ(send(effKeysRequired), 1);
    effect.wantsKeys = true;
    EXPECT_EQ(send(effKeysRequired), 0);
}

TEST_F(Dispatcher, PlugCategoryFollowsTheSynthFlag) {
    EXPECT_EQ(send(effGetPlugCategory), 0);
    effect.setIsSynth(true);
    EXPECT_EQ(send(effGetPlugCategory), 2);
    effect.setIsSynth(false);
    EXPECT_EQ(send(effGetPlugCategory), 0);
}

TEST_F(Dispatcher, RequestsWithoutOperationAnswerZeroAndChangeNothing) {
    AEffect before;
    std::memcpy(&before, &effect.record, sizeof before);
    char text[8] = "abc";
    const VstInt32 opcodes[] = {effEditDraw, effEditMouse, effEditKey,
                                effEditTop,  effEditSleep, 77,
                                200,         -1,           std::numeric_limits<VstInt32>::max()};
    for (VstInt32 opcode : opcodes) EXPECT_EQ(send(opcode, 1, 1, text, 1.0f), 0) << opcode;
    EXPECT_EQ(std::memcmp(&before, &effect.record, sizeof before), 0);
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(effect.currentProgram, 0);
    EXPECT_EQ(effect.sampleRate, 44100.0f);
    EXPECT_EQ(effect.blockSize, 1024);
}

TEST_F(Dispatcher, SetProgramOnlyWithinTheProgramRange) {
    EXPECT_EQ(send(effSetProgram, 0, 3), 0);
    EXPECT_EQ(send(effGetProgram), 3);
    const VstIntPtr outside[] = {4, -1, 1000, static_cast<VstIntPtr>(std::numeric_limits<VstInt32>::min())};
    for (VstIntPtr value : outside) {
        EXPECT_EQ(send(effSetProgram, 0, value), 0);
        EXPECT_EQ(send(effGetProgram), 3) << value;
    }
    if (sizeof(VstIntPtr) > 4) {  // a 64-bit value must not wrap into the range
        EXPECT_EQ(send(effSetProgram, 0, static_cast<VstIntPtr>((std::int64_t{1} << 32) + 1)), 0);
        EXPECT_EQ(send(effGetProgram), 3);
    }
}

TEST_F(Dispatcher, SampleRateAndBlockSize) {
    EXPECT_EQ(send(effSetSampleRate, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(send(effSetBlockSize, 0, 256), 0);
    EXPECT_EQ(effect.getBlockSize(), 256);

    EXPECT_EQ(send(effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
    EXPECT_EQ(effect.blockSize, 512);
    EXPECT_EQ(effect.sampleRate, 96000.0f);

    // Rates nobody can compute with are ignored; what was stored stays, and a block size
    // sent with one still counts.
    VstInt32 size = 64;
    for (float bad : {0.0f, -44100.0f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
        send(effSetSampleRate, 0, 0, nullptr, bad);
        EXPECT_EQ(send(effSetBlockSizeAndSampleRate, 0, size, nullptr, bad), 1);
        EXPECT_EQ(effect.sampleRate, 96000.0f);
        EXPECT_EQ(effect.blockSize, size++);
    }
}

TEST_F(Dispatcher, MainsChangedSuspendsOnZeroAndResumesOtherwise) {
    send(effMainsChanged, 0, 0);
    EXPECT_EQ(effect.suspends, 1);
    EXPECT_EQ(effect.resumes, 0);
    send(effMainsChanged, 0, 1);
    send(effMainsChanged, 0, -7);
    EXPECT_EQ(effect.suspends, 1);
    EXPECT_EQ(effect.resumes, 2);
}

TEST_F(Dispatcher, VuIsScaledAndTruncated) {
    const std::map<float, VstIntPtr> expected = {
        {0.0f, 0}, {0.5f, 16383}, {1.0f, 32767}, {-0.5f, -16383}, {1e10f, std::numeric_limits<VstInt32>::max()}};
    for (const auto& [vu, answer] : expected) {
        effect.vu = vu;
        EXPECT_EQ(send(effGetVu), answer) << vu;
    }
    effect.vu = std::nanf("");
    EXPECT_EQ(send(effGetVu), 0);
}

TEST_F(Dispatcher, TextRequestsUseTheDefaults) {
    char text[32] = "host text";
    send(effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "label");
    send(effGetParamLabel, 2, 0, text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "display");
    send(effGetParamDisplay, 0, 0, text);
    EXPECT_STREQ(text, "");
    std::strcpy(text, "name");
    send(effGetParamName, 1, 0, text);
    EXPECT_STREQ(text, "");

    // A name the host hands over is only read.
    std::strcpy(text, "My program");
    send(effSetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "My program");
}

TEST_F(Dispatcher, ParameterTextsOutsideTheRangeLeaveTheBuffer) {
    char text[16] = "untouched";
    for (VstInt32 opcode : {effGetParamLabel, effGetParamDisplay, effGetParamName})
        for (VstInt32 index : {-1, 3, 1 << 30}) {
            EXPECT_EQ(send(opcode, index, 0, text), 0);
            EXPECT_STREQ(text, "untouched") << opcode << " " << index;
        }
    EXPECT_EQ(send(effGetProgramNameIndexed, 4, 0, text), 0);
    EXPECT_EQ(send(effGetProgramNameIndexed, -1, 0, text), 0);
    EXPECT_STREQ(text, "untouched");
}

TEST_F(Dispatcher, NullPointersGetTheNoPointerAnswer) {
    // Every request, sent with no pointer and an odd index, answers like this and survives.
    const std::map<VstInt32, VstIntPtr> nonZero = {{effIdentify, 0x4E764566},       {effCanBeAutomated, 1},
                                                   {effGetNumProgramCategories, 1}, {effConnectInput, 1},
                                                   {effConnectOutput, 1},           {effKeysRequired, 1},
                                                   {effGetVstVersion, 2300},        {effSetBlockSizeAndSampleRate, 1},
                                                   {effGetCurrentMidiProgram, -1}};
    for (VstInt32 opcode = 0; opcode <= 80; ++opcode) {
        if (opcode == effClose) continue;
        auto found = nonZero.find(opcode);
        const VstIntPtr expected = found == nonZero.end() ? 0 : found->second;
        EXPECT_EQ(send(opcode, -1, 0, nullptr, 0.0f), expected) << opcode;
    }
}

TEST_F(Dispatcher, SpeakerArrangementSlots) {
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_EQ(send(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    output = &dummy;
    EXPECT_EQ(send(effGetSpeakerArrangement, 0, 0, &output), 0);  // no input slot: nothing written
    EXPECT_EQ(output, &dummy);
    EXPECT_EQ(send(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&dummy), &dummy), 0);
}

class DispatcherWithEditor : public Dispatcher {
protected:
    void SetUp() override { effect.editor = editor = new TestEditor; }
    TestEditor* editor = nullptr;
};

TEST_F(Dispatcher, EditorRequestsWithoutEditorAnswerZero) {
    ERect* rect = nullptr;
    EXPECT_EQ(send(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    for (VstInt32 opcode : {effEditOpen, effEditClose, effEditIdle, effEditKeyDown, effEditKeyUp, effSetEditKnobMode})
        EXPECT_EQ(send(opcode, 65, 1, &rect, 1.0f), 0) << opcode;
}

TEST_F(DispatcherWithEditor, EditorRequestsReachTheEditor) {
    ERect* rect = nullptr;
    EXPECT_EQ(send(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect, &editor->size);
    EXPECT_EQ(send(effEditGetRect), 0);  // no slot for the answer: the editor is not asked

    int parentWindow = 0;
    EXPECT_EQ(send(effEditOpen, 0, 0, &parentWindow), 7);
    EXPECT_EQ(editor->openedWith, &parentWindow);
    EXPECT_EQ(send(effEditIdle), 0);
    EXPECT_EQ(send(effEditClose), 0);
    EXPECT_EQ(editor->idles, 1);
    EXPECT_EQ(editor->closes, 1);
    EXPECT_EQ(send(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->knobMode, 2);
}

TEST_F(DispatcherWithEditor, KeyRequestsBuildTheKeyRecord) {
    EXPECT_EQ(send(effEditKeyDown, 'a', 0x1FF, nullptr, 3.9f), 11);
    EXPECT_EQ(send(effEditKeyUp, 'b', 0x0D, nullptr, 260.0f), 12);
    EXPECT_EQ(send(effEditKeyDown, 'c', -1, nullptr, std::nanf("")), 11);
    ASSERT_EQ(editor->keysDown.size(), 2u);
    ASSERT_EQ(editor->keysUp.size(), 1u);
    EXPECT_EQ(editor->keysDown[0].character, 'a');
    EXPECT_EQ(editor->keysDown[0].virt, 0xFF);
    EXPECT_EQ(editor->keysDown[0].modifier, 3);
    EXPECT_EQ(editor->keysUp[0].character, 'b');
    EXPECT_EQ(editor->keysUp[0].virt, 0x0D);
    EXPECT_EQ(editor->keysUp[0].modifier, 4);  // the low byte of 260
    EXPECT_EQ(editor->keysDown[1].virt, 0xFF);
    EXPECT_EQ(editor->keysDown[1].modifier, 0);
}

}  // namespace
