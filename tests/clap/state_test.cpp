// The state: the versioned record through the host's streams, read in pieces, and every
// stream that is not such a record refused with nothing changed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "clap_host.h"
#include "effect/reverb_state.h"

using namespace testhost;

namespace {

std::vector<double> valuesOf(const Instance& plugin) {
    std::vector<double> values;
    for (int i = 0; i < kParameterCount; ++i) values.push_back(plugin.value(i));
    return values;
}

std::vector<unsigned char> savedState(const Instance& plugin) {
    MemoryStream stream;
    EXPECT_TRUE(plugin.state().save(plugin.plugin, stream.out()));
    return stream.bytes;
}

void setPlain(Instance& plugin, Id id, double plain) {
    EventList events;
    events.value(0, id, plain);
    plugin.params().flush(plugin.plugin, events.list(), nullptr);
}

}  // namespace

TEST(ClapState, RoundTripsInPiecesOfAnySize) {
    Instance source;
    setPlain(source, kT60, 4321.0);
    setPlain(source, kDryOut, 1.0);
    ASSERT_TRUE(source.extension<PluginPresetLoad>(kPresetLoadExt)
                    .fromLocation(source.plugin, kPresetLocationPlugin, nullptr, "5"));
    setPlain(source, kHold, 123.0);
    MemoryStream saved;
    saved.limit = 7;  // the host's stream takes a few bytes per call
    ASSERT_TRUE(source.state().save(source.plugin, saved.out()));
    ASSERT_EQ(saved.bytes.size(), kStateSize);
    EXPECT_EQ(saved.bytes, savedState(source));

    for (std::uint64_t limit : {1u, 13u, 1000u}) {
        Instance target;
        MemoryStream stream(saved.bytes);
        stream.limit = limit;
        ASSERT_TRUE(target.state().load(target.plugin, stream.in())) << limit;
        EXPECT_EQ(valuesOf(target), valuesOf(source)) << limit;
        EXPECT_EQ(savedState(target), saved.bytes) << limit;
    }
}

TEST(ClapState, RefusesWhatIsNotItsRecordAndChangesNothing) {
    Instance source;
    setPlain(source, kT60, 6000.0);
    const std::vector<unsigned char> good = savedState(source);
    const auto corrupt = [&good](std::function<void(MemoryStream&)> change) {
        MemoryStream s(good);
        change(s);
        return s;
    };
    const float nan = std::nanf("");
    struct {
        const char* what;
        MemoryStream stream;
    } cases[] = {
        {"empty", MemoryStream()},
        {"ends early", corrupt([](MemoryStream& s) { s.bytes.pop_back(); })},
        {"header only", corrupt([](MemoryStream& s) { s.bytes.resize(kStateHeaderSize); })},
        {"claims more than it gave", corrupt([](MemoryStream& s) { s.claimExtra = 1; })},
        {"fails midway", corrupt([](MemoryStream& s) { s.failAfter = 40, s.limit = 8; })},
        {"another magic", corrupt([](MemoryStream& s) { s.bytes[0] = 'X'; })},
        {"another version", corrupt([](MemoryStream& s) { s.bytes[4] = 2; })},
        {"another size", corrupt([](MemoryStream& s) { s.bytes[8] ^= 4; })},
        {"program out of range", corrupt([](MemoryStream& s) { s.bytes[20] = kProgramCount; })},
        {"value above 1", corrupt([](MemoryStream& s) {
             const float v = 1.5f;
             std::memcpy(&s.bytes[kStateHeaderSize + 8], &v, 4);
         })},
        {"NaN value", corrupt([nan](MemoryStream& s) { std::memcpy(&s.bytes[kStateHeaderSize], &nan, 4); })},
        {"-0 value", corrupt([](MemoryStream& s) {
             const float minusZero = -0.0f;
             std::memcpy(&s.bytes[kStateHeaderSize + 4], &minusZero, 4);
         })},
    };
    for (auto& c : cases) {
        Instance target;
        setPlain(target, kOut, -12.0);
        const std::vector<unsigned char> before = savedState(target);
        EXPECT_FALSE(target.state().load(target.plugin, c.stream.in())) << c.what;
        EXPECT_EQ(savedState(target), before) << c.what;
    }
    Instance target;
    EXPECT_FALSE(target.state().load(target.plugin, nullptr));
    EXPECT_FALSE(target.state().save(target.plugin, nullptr));
    MemoryStream full;
    full.failAfter = 30, full.limit = 8;
    EXPECT_FALSE(target.state().save(target.plugin, full.out()));
}
