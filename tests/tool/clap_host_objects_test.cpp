// What the host hands a CLAP plug-in: a block's values in time order whatever order they
// were added in, a fixed capacity that refuses rather than grows (filled on the audio
// thread), streams that give back what was written, and which paths load as CLAP.
#include "tools/vsthost/clap_host_objects.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/loaders.h"

#include <gtest/gtest.h>

namespace vsthost {
namespace {

struct Value {
    std::uint32_t time;
    abi::Id id;
    bool operator==(const Value& o) const { return time == o.time && id == o.id; }
};

std::vector<Value> read(const ClapEventList& events) {
    const abi::InputEvents* list = events.list();
    std::vector<Value> all;
    for (std::uint32_t i = 0; i < list->size(list); ++i) {
        const auto* e = reinterpret_cast<const abi::ParamValueEvent*>(list->get(list, i));
        EXPECT_EQ(e->header.type, abi::kEventParamValue);
        EXPECT_EQ(e->header.size, sizeof *e);
        all.push_back({e->header.time, e->paramId});
    }
    EXPECT_EQ(list->get(list, list->size(list)), nullptr);
    return all;
}

TEST(ClapHostEvents, InTimeOrderLaterAdditionsAfterEqualTimes) {
    struct Case {
        std::vector<Value> added, expected;
    };
    const Case cases[] = {
        {{{5, 1}, {2, 2}, {9, 3}}, {{2, 2}, {5, 1}, {9, 3}}},
        {{{4, 1}, {4, 2}, {0, 3}}, {{0, 3}, {4, 1}, {4, 2}}},
        {{{7, 1}, {7, 1}}, {{7, 1}, {7, 1}}},
    };
    for (const Case& c : cases) {
        ClapEventList events;
        for (const Value& v : c.added) EXPECT_TRUE(events.add(v.time, v.id, 0.5));
        EXPECT_EQ(read(events), c.expected);
    }
}

TEST(ClapHostEvents, AFullListRefusesAndClearEmpties) {
    ClapEventList events;
    for (std::uint32_t i = 0; i < ClapEventList::kCapacity; ++i) ASSERT_TRUE(events.add(i, 0, 0.0));
    EXPECT_FALSE(events.add(0, 0, 0.0));
    events.clear();
    EXPECT_EQ(events.size(), 0u);
    ClapOutputList out;
    const abi::EventHeader header{sizeof header, 0, abi::kCoreEventSpace, abi::kEventParamGestureBegin, 0};
    for (std::uint32_t i = 0; i < ClapOutputList::kCapacity; ++i) ASSERT_TRUE(out.list()->tryPush(out.list(), &header));
    EXPECT_FALSE(out.list()->tryPush(out.list(), &header));
}

TEST(ClapHostStream, ReadsBackWhatWasWrittenThenNothing) {
    ClapStream written;
    const unsigned char bytes[] = {1, 2, 3, 4, 5};
    EXPECT_EQ(written.out()->write(written.out(), bytes, 5), 5);
    ClapStream stream(written.bytes);
    unsigned char into[8] = {};
    EXPECT_EQ(stream.in()->read(stream.in(), into, 3), 3);
    EXPECT_EQ(stream.in()->read(stream.in(), into + 3, 8), 2);
    EXPECT_EQ(stream.in()->read(stream.in(), into, 8), 0);
    EXPECT_EQ(std::vector<unsigned char>(into, into + 5), written.bytes);
}

TEST(ClapHostPaths, ClapByTheFileNameEnding) {
    const std::pair<const char*, const char*> cases[] = {
        {"build/clap/Hallmere.clap", "clap"},
        {"Z:\\build\\clap\\HALLMERE.CLAP", "clap"},
        {"Hallmere.clap.so", "vst2"},
        {"clap", "vst2"},
    };
    for (const auto& [path, format] : cases) EXPECT_STREQ(moduleFormat(path), format) << path;
}

}  // namespace
}  // namespace vsthost
