// The module as a host first meets it: the entry, the factories, the descriptor, the
// extensions, the ports, latency, tail and render modes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "clap_host.h"
#include "effect/reverb_core.h"
#include "effect/tail_frames.h"
#include "hallmere_version.h"

using namespace testhost;

TEST(ClapFactory, EntryAnswersOnlyItsFactories) {
    EXPECT_GE(entry().clapVersion.major, 1u);
    EXPECT_NE(entry().getFactory(kPluginFactoryId), nullptr);
    EXPECT_NE(entry().getFactory(kPresetDiscoveryFactoryId), nullptr);
    EXPECT_NE(entry().getFactory(kPresetDiscoveryFactoryIdDraft), nullptr);
    EXPECT_EQ(entry().getFactory("clap.plugin-invalidation-factory/1"), nullptr);
    EXPECT_EQ(entry().getFactory(nullptr), nullptr);
}

TEST(ClapFactory, DescribesOneReverb) {
    const PluginFactory& f = pluginFactory();
    ASSERT_EQ(f.getPluginCount(&f), 1u);
    EXPECT_EQ(f.getPluginDescriptor(&f, 1), nullptr);
    const PluginDescriptor* d = f.getPluginDescriptor(&f, 0);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->id, "com.tovik.hallmere");
    EXPECT_STREQ(d->name, "Hallmere");
    EXPECT_STREQ(d->vendor, "Tovik");
    EXPECT_STREQ(d->version, HALLMERE_VERSION_TEXT);
    std::vector<std::string> features;
    for (const char* const* f = d->features; *f; ++f) features.push_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "reverb", "stereo"}));
}

TEST(ClapFactory, CreatesOnlyItsOwnId) {
    const PluginFactory& f = pluginFactory();
    Host host{kVersion, nullptr, "h", "", "", "1", nullptr, nullptr, nullptr, nullptr};
    EXPECT_EQ(f.createPlugin(&f, &host, "com.tovik.other"), nullptr);
    EXPECT_EQ(f.createPlugin(&f, &host, nullptr), nullptr);
    EXPECT_EQ(f.createPlugin(&f, nullptr, "com.tovik.hallmere"), nullptr);
    // A host without extensions still gets a working plug-in.
    const Plugin* p = f.createPlugin(&f, &host, "com.tovik.hallmere");
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->init(p));
    EXPECT_FALSE(p->activate(p, 0.0, 1, 512));
    EXPECT_FALSE(p->activate(p, 44100.0, 1, 0));
    EXPECT_TRUE(p->activate(p, 44100.0, 1, 512));
    p->destroy(p);
}

TEST(ClapFactory, OffersItsExtensions) {
    Instance plugin;
    for (const char* id : {kAudioPortsExt, kParamsExt, kStateExt, kLatencyExt, kTailExt, kRenderExt, kPresetLoadExt,
                           kPresetLoadExtDraft, kGuiExt, kTimerSupportExt, kPosixFdSupportExt})
        EXPECT_NE(plugin.plugin->getExtension(plugin.plugin, id), nullptr) << id;
    EXPECT_EQ(plugin.plugin->getExtension(plugin.plugin, "clap.note-ports"), nullptr);
}

TEST(ClapFactory, OneStereoPortEachWayInPlace) {
    Instance plugin;
    const auto& ports = plugin.extension<PluginAudioPorts>(kAudioPortsExt);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports.count(plugin.plugin, input), 1u);
        AudioPortInfo info{};
        ASSERT_TRUE(ports.get(plugin.plugin, 0, input, &info));
        EXPECT_EQ(info.channelCount, 2u);
        EXPECT_STREQ(info.portType, "stereo");
        EXPECT_EQ(info.flags & kAudioPortIsMain, kAudioPortIsMain);
        EXPECT_EQ(info.inPlacePair, info.id);
        EXPECT_FALSE(ports.get(plugin.plugin, 1, input, &info));
    }
}

TEST(ClapFactory, NoLatencyTheCoresTailBothRenderModes) {
    Instance plugin;
    EXPECT_EQ(plugin.extension<PluginLatency>(kLatencyExt).get(plugin.plugin), 0u);
    ReverbCore core;
    core.setSampleRate(48000.0f);
    EXPECT_EQ(plugin.extension<PluginTail>(kTailExt).get(plugin.plugin), tailFrames(core.tailSeconds(), 48000.0));
    const auto& render = plugin.extension<PluginRender>(kRenderExt);
    EXPECT_TRUE(render.set(plugin.plugin, kRenderOffline));
    EXPECT_TRUE(render.set(plugin.plugin, kRenderRealtime));
    EXPECT_FALSE(render.set(plugin.plugin, 7));
}
