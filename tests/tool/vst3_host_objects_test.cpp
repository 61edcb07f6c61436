// The parameter changes the host hands a VST 3 plug-in: points in offset order whatever
// order they were added in, one point per offset, and fixed capacities that refuse rather
// than grow (they are filled on the audio thread). Also which paths load as VST 3.
#include "tools/vsthost/loaders.h"
#include "tools/vsthost/vst3_host_objects.h"

#include <gtest/gtest.h>

namespace vsthost {
namespace {

std::vector<std::pair<std::int32_t, double>> points(IParamValueQueue& queue) {
    std::vector<std::pair<std::int32_t, double>> all;
    for (std::int32_t i = 0; i < queue.getPointCount(); ++i) {
        std::int32_t offset;
        ParamValue value;
        EXPECT_EQ(queue.getPoint(i, offset, value), kResultOk);
        all.emplace_back(offset, value);
    }
    return all;
}

TEST(Vst3HostChanges, PointsInOffsetOrderOnePerOffset) {
    struct Case {
        std::vector<std::pair<std::int32_t, double>> added, expected;
    };
    const Case cases[] = {
        {{{5, 0.1}, {2, 0.2}, {9, 0.3}}, {{2, 0.2}, {5, 0.1}, {9, 0.3}}},
        {{{4, 0.1}, {4, 0.7}}, {{4, 0.7}}},
        {{{0, 0.5}, {7, 0.6}, {3, 0.4}, {0, 0.9}}, {{0, 0.9}, {3, 0.4}, {7, 0.6}}},
    };
    for (const Case& c : cases) {
        ChangeList list;
        for (const auto& [offset, value] : c.added) list.add(3, offset, value);
        ASSERT_EQ(list.getParameterCount(), 1);
        EXPECT_EQ(list.getParameterData(0)->getParameterId(), 3u);
        EXPECT_EQ(points(*list.getParameterData(0)), c.expected);
    }
}

TEST(Vst3HostChanges, FullListsRefuseAndClearEmpties) {
    ChangeList list;
    std::int32_t index = 0;
    for (std::int32_t id = 0; id < ChangeList::kMaxQueues; ++id) ASSERT_NE(list.addParameterData(id, index), nullptr);
    EXPECT_EQ(list.addParameterData(ChangeList::kMaxQueues, index), nullptr);
    EXPECT_EQ(list.addParameterData(7, index), list.getParameterData(7));  // an id already there is found
    IParamValueQueue* queue = list.getParameterData(0);
    for (std::int32_t offset = 0; offset < ChangeQueue::kMaxPoints; ++offset)
        ASSERT_EQ(queue->addPoint(offset, 0.5, index), kResultOk);
    EXPECT_EQ(queue->addPoint(ChangeQueue::kMaxPoints, 0.5, index), kResultFalse);
    list.clear();
    EXPECT_EQ(list.getParameterCount(), 0);
    EXPECT_EQ(list.addParameterData(42, index)->getPointCount(), 0);
}

TEST(Vst3HostPaths, Vst3ByNameOfTheFileOrAFolderAboveIt) {
    const std::pair<const char*, bool> cases[] = {
        {"build/vst3/Hallmere.vst3", true},
        {"Hallmere.VST3/", true},
        {"b/Hallmere.vst3/Contents/x86_64-linux/Hallmere.so", true},
        {"Z:\\x\\Hallmere.vst3\\Contents\\x86_64-win\\Hallmere.vst3", true},
        {"plugin/Hallmere.so", false},
        {"vst3/Hallmere.dll", false},
        {"a.vst3x/b.so", false},
    };
    for (const auto& [path, vst3] : cases) EXPECT_EQ(isVst3Path(path), vst3) << path;
}

}  // namespace
}  // namespace vsthost
