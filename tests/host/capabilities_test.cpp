#include <gtest/gtest.h>

#include <set>
#include <string>

#include "host/capabilities.h"

namespace {

TEST(Capabilities, WordsAreDistinctAndInTheirPlaces) {
    const std::set<std::string> plugin(std::begin(pluginCapabilities), std::end(pluginCapabilities));
    const std::set<std::string> host(std::begin(hostCapabilities), std::end(hostCapabilities));
    EXPECT_EQ(plugin.size(), 26u);
    EXPECT_EQ(host.size(), 17u);
    EXPECT_STREQ(pluginCapabilities[0], "sendVstEvents");
    EXPECT_STREQ(pluginCapabilities[7], "plugAsChannelInsert");
    EXPECT_STREQ(pluginCapabilities[16], "2in2out");
    EXPECT_STREQ(pluginCapabilities[25], "bypass");
    EXPECT_STREQ(hostCapabilities[6], "reportConnectionChanges");
    EXPECT_STREQ(hostCapabilities[13], "openFileSelector");
    EXPECT_STREQ(hostCapabilities[16], "startStopProcess");
}

}  // namespace
