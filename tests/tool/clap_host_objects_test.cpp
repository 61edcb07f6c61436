// What the host hands a CLAP plug-in: a block's values in time order whatever order they
// were added in, a fixed capacity that refuses rather than grows (filled on the audio
// thread), streams that give back what was written, the panel's timers and descriptors in
// fixed slots, and which paths load as CLAP.
#include "tools/vsthost/clap_host_objects.h"
#include "tools/vsthost/clap_main_loop.h"
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

TEST(ClapHostMainLoop, SlotsAreTakenFreedAndRefusedWhenFull) {
    ClapMainLoop loop;
    abi::Id ids[ClapMainLoop::kSlots];
    for (abi::Id& id : ids) ASSERT_TRUE(loop.addTimer(16, id));
    abi::Id spare = abi::kInvalidId;
    EXPECT_FALSE(loop.addTimer(16, spare));
    EXPECT_TRUE(loop.removeTimer(ids[3]));
    EXPECT_FALSE(loop.removeTimer(ids[3]));
    EXPECT_FALSE(loop.removeTimer(abi::kInvalidId));
    EXPECT_TRUE(loop.addTimer(16, spare));
    EXPECT_EQ(spare, ids[3]);
    const struct {
        const char* what;
        bool ok;
    } steps[] = {
        {"watch 5", loop.watch(5, abi::kPosixFdRead, false)},
        {"modify 5", loop.watch(5, abi::kPosixFdWrite, true)},
        {"modify unknown 6", !loop.watch(6, abi::kPosixFdRead, true)},
        {"unwatch 5", loop.unwatch(5)},
        {"unwatch 5 again", !loop.unwatch(5)},
    };
    for (const auto& step : steps) EXPECT_TRUE(step.ok) << step.what;
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
