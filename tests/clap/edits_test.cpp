// Edits made inside the plug-in (the panel's seam) reach the host as gesture begin, values
// and gesture end, from process or flush, whatever the host's list or the queue can take.
#include <gtest/gtest.h>

#include <vector>

#include "clap_host.h"
#include "plugin/clap/hallmere_clap.h"

using namespace testhost;
using clapplug::HallmereClap;

namespace {

using Sent = OutputList::Sent;

Host host{kVersion, nullptr, "edits", "", "", "1", nullptr, nullptr, nullptr, nullptr};

}  // namespace

TEST(ClapEdits, AGestureReachesTheHostInOrder) {
    HallmereClap plugin(&host);
    ASSERT_TRUE(plugin.init() && plugin.activate(48000.0, 512));
    plugin.beginEdit(kT60);
    plugin.performEdit(kT60, 0.3f);
    plugin.performEdit(kT60, 1.5f);           // held to 1
    plugin.performEdit(kT60, std::nanf(""));  // ignored
    plugin.endEdit(kT60);
    plugin.beginEdit(kParameterCount);  // unknown: ignored
    EXPECT_FLOAT_EQ(plugin.core().getParameter(kT60), 1.0f);

    OutputList out;
    out.capacity = 2;  // the host takes two now, the rest at its next call
    plugin.flush(nullptr, out.list());
    out.capacity = 100;
    float left[16] = {}, right[16] = {};
    float* channels[2] = {left, right};
    AudioBuffer in{channels, nullptr, 2, 0, 0}, output{channels, nullptr, 2, 0, 0};
    const Process p{0, 16, nullptr, &in, &output, 1, 1, nullptr, out.list()};
    plugin.process(p);
    const std::vector<Sent> expected = {{kEventParamGestureBegin, kT60, 0.0},
                                        {kEventParamValue, kT60, physicalValue(kT60, 0.3f)},
                                        {kEventParamValue, kT60, 7000.0},
                                        {kEventParamGestureEnd, kT60, 0.0}};
    EXPECT_EQ(out.sent, expected);
    plugin.flush(nullptr, out.list());
    EXPECT_EQ(out.sent.size(), expected.size());  // nothing sent twice
}

// With the queue full, the host still hears the last value and the end of the gesture.
TEST(ClapEdits, AFullQueueKeepsTheLastValueAndTheEnd) {
    HallmereClap plugin(&host);
    ASSERT_TRUE(plugin.init());
    plugin.beginEdit(kOut);
    for (int i = 0; i <= 1000; ++i) plugin.performEdit(kOut, static_cast<float>(i) / 1000.0f);
    plugin.endEdit(kOut);
    plugin.beginEdit(kPan);  // refused: its end goes too
    plugin.endEdit(kPan);
    OutputList out;
    plugin.flush(nullptr, out.list());
    const std::vector<Sent>& sent = out.sent;
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent.front().type, kEventParamGestureBegin);
    EXPECT_EQ(sent[sent.size() - 2], (Sent{kEventParamValue, kOut, 20.0}));
    EXPECT_EQ(sent.back(), (Sent{kEventParamGestureEnd, kOut, 0.0}));
    for (const Sent& s : sent) EXPECT_EQ(s.id, static_cast<Id>(kOut));
}
