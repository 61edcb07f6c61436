#include <gtest/gtest.h>

#include <cstring>

#include "test_effect.h"

namespace {

VstSpeakerProperties speaker(float azimuth, const char* name, VstInt32 type) {
    VstSpeakerProperties s{};
    s.azimuth = azimuth;
    s.elevation = azimuth * 2;
    s.radius = 1.5f;
    s.reserved = -1.0f;
    std::strncpy(s.name, name, sizeof s.name - 1);
    s.type = type;
    std::memset(s.future, 0x5A, sizeof s.future);
    return s;
}

class SpeakerArrangement : public ::testing::Test {
protected:
    void TearDown() override {
        effect.deallocateArrangement(&slot);
        effect.deallocateArrangement(&source);
    }
    TestEffect effect{nullptr};
    VstSpeakerArrangement* slot = nullptr;
    VstSpeakerArrangement* source = nullptr;
};

TEST_F(SpeakerArrangement, AllocateGivesAZeroedRecordOfTheRightSize) {
    ASSERT_TRUE(effect.allocateArrangement(&slot, 3));
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->numChannels, 3);
    EXPECT_EQ(slot->type, 0);
    const auto* bytes = reinterpret_cast<const unsigned char*>(slot);
    for (std::size_t i = 8; i < speakerArrangementBytes(3); ++i) ASSERT_EQ(bytes[i], 0) << i;

    ASSERT_TRUE(effect.allocateArrangement(&slot, 0));  // replaces, and frees, the old one
    EXPECT_EQ(slot->numChannels, 0);
}

TEST_F(SpeakerArrangement, BadRequestsLeaveTheSlot) {
    ASSERT_TRUE(effect.allocateArrangement(&slot, 2));
    VstSpeakerArrangement* before = slot;
    EXPECT_FALSE(effect.allocateArrangement(&slot, -1));
    EXPECT_EQ(slot, before);
    EXPECT_FALSE(effect.allocateArrangement(nullptr, 2));
    EXPECT_FALSE(effect.deallocateArrangement(nullptr));
    EXPECT_TRUE(effect.deallocateArrangement(&slot));
    EXPECT_EQ(slot, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&slot));
}

TEST_F(SpeakerArrangement, CopySpeakerCopiesEveryField) {
    VstSpeakerProperties from = speaker(30.0f, "Left", 1);
    VstSpeakerProperties to{};
    ASSERT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_EQ(std::memcmp(&to, &from, sizeof to), 0);
    EXPECT_FALSE(effect.copySpeaker(nullptr, &from));
    EXPECT_FALSE(effect.copySpeaker(&to, nullptr));

    std::memset(from.name, 'x', sizeof from.name);  // no terminator from the host
    ASSERT_TRUE(effect.copySpeaker(&to, &from));
    EXPECT_EQ(std::strlen(to.name), sizeof to.name - 1);
}

TEST_F(SpeakerArrangement, MatchCopiesTypeCountAndSpeakers) {
    ASSERT_TRUE(effect.allocateArrangement(&source, 2));
    source->type = 1;
    source->speakers[0] = speaker(-30.0f, "L", 1);
    source->speakers[1] = speaker(30.0f, "R", 2);
    ASSERT_TRUE(effect.allocateArrangement(&slot, 5));

    ASSERT_TRUE(effect.matchArrangement(&slot, source));
    ASSERT_NE(slot, source);
    EXPECT_EQ(slot->type, 1);
    EXPECT_EQ(slot->numChannels, 2);
    EXPECT_EQ(std::memcmp(slot->speakers, source->speakers, 2 * sizeof(VstSpeakerProperties)), 0);

    EXPECT_FALSE(effect.matchArrangement(&slot, nullptr));
    EXPECT_FALSE(effect.matchArrangement(nullptr, source));
}

TEST_F(SpeakerArrangement, MatchingARecordWithItselfKeepsIt) {
    ASSERT_TRUE(effect.allocateArrangement(&slot, 1));
    slot->speakers[0] = speaker(10.0f, "C", 3);
    VstSpeakerArrangement* before = slot;
    ASSERT_TRUE(effect.matchArrangement(&slot, slot));
    EXPECT_EQ(slot, before);
    EXPECT_EQ(slot->numChannels, 1);
    EXPECT_STREQ(slot->speakers[0].name, "C");
}

TEST_F(SpeakerArrangement, DefaultAnswerEmptiesBothSlots) {
    VstSpeakerArrangement dummy{};
    VstSpeakerArrangement* input = &dummy;
    VstSpeakerArrangement* output = &dummy;
    EXPECT_FALSE(effect.getSpeakerArrangement(&input, &output));
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    EXPECT_FALSE(effect.getSpeakerArrangement(nullptr, nullptr));
}

}  // namespace
