// The eight factory programs as presets inside the plug-in: the discovery factory lists them,
// and loading one selects it with its factory values and tells the host to read them again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clap_host.h"
#include "effect/program_title.h"
#include "effect/reverb_program.h"

using namespace testhost;

namespace {

struct Found {
    std::vector<PresetLocation> locations;
    std::vector<std::string> names, keys, pluginIds;
    std::vector<std::uint32_t> flags;
};

Found& foundOf(const void* data) { return *static_cast<Found*>(const_cast<void*>(data)); }

bool CLAP_CALL declareLocation(const PresetIndexer* indexer, const PresetLocation* location) {
    foundOf(indexer->indexerData).locations.push_back(*location);
    return true;
}
bool CLAP_CALL declareOther(const PresetIndexer*, const void*) { return true; }
bool CLAP_CALL declareFiletype(const PresetIndexer*, const PresetFiletype*) { return true; }
const void* CLAP_CALL indexerExtension(const PresetIndexer*, const char*) { return nullptr; }

bool CLAP_CALL beginPreset(const PresetMetadataReceiver* r, const char* name, const char* key) {
    foundOf(r->receiverData).names.push_back(name);
    foundOf(r->receiverData).keys.push_back(key);
    return true;
}
void CLAP_CALL addPluginId(const PresetMetadataReceiver* r, const UniversalPluginId* id) {
    foundOf(r->receiverData).pluginIds.push_back(std::string(id->abi) + ":" + id->id);
}
void CLAP_CALL setFlags(const PresetMetadataReceiver* r, std::uint32_t flags) {
    foundOf(r->receiverData).flags.push_back(flags);
}

Found discover() {
    Found found;
    const auto& factory = *static_cast<const PresetDiscoveryFactory*>(entry().getFactory(kPresetDiscoveryFactoryId));
    EXPECT_EQ(factory.count(&factory), 1u);
    const PresetProviderDescriptor* d = factory.getDescriptor(&factory, 0);
    EXPECT_EQ(factory.getDescriptor(&factory, 1), nullptr);
    const PresetIndexer indexer{kVersion,     "tests",         "", "", "1", &found, declareFiletype, declareLocation,
                                declareOther, indexerExtension};
    EXPECT_EQ(factory.create(&factory, &indexer, "com.tovik.other"), nullptr);
    const PresetProvider* provider = factory.create(&factory, &indexer, d->id);
    EXPECT_TRUE(provider->init(provider));
    PresetMetadataReceiver receiver{};
    receiver.receiverData = &found;
    receiver.beginPreset = beginPreset;
    receiver.addPluginId = addPluginId;
    receiver.setFlags = setFlags;
    EXPECT_FALSE(provider->getMetadata(provider, kPresetLocationFile, "/tmp/x", &receiver));
    EXPECT_TRUE(provider->getMetadata(provider, kPresetLocationPlugin, nullptr, &receiver));
    provider->destroy(provider);
    return found;
}

}  // namespace

TEST(ClapPresets, DiscoveryListsTheEightProgramsInsideThePlugin) {
    const Found found = discover();
    ASSERT_EQ(found.locations.size(), 1u);
    EXPECT_EQ(found.locations[0].kind, kPresetLocationPlugin);
    EXPECT_EQ(found.locations[0].location, nullptr);
    EXPECT_EQ(found.locations[0].flags, kPresetIsFactoryContent);
    ASSERT_EQ(found.names.size(), static_cast<std::size_t>(kProgramCount));
    for (int p = 0; p < kProgramCount; ++p) {
        EXPECT_EQ(found.names[p], programTitle(factoryPrograms[p].name));
        EXPECT_EQ(found.keys[p], std::to_string(p));
    }
    EXPECT_EQ(found.pluginIds, std::vector<std::string>(kProgramCount, "clap:com.tovik.hallmere"));
    EXPECT_EQ(found.flags, std::vector<std::uint32_t>(kProgramCount, kPresetIsFactoryContent));
}

TEST(ClapPresets, LoadingOneSetsItsFactoryValues) {
    Instance plugin;
    const auto& load = plugin.extension<PluginPresetLoad>(kPresetLoadExt);
    EventList edit;
    edit.value(0, kT60, 6543.0);  // a changed value of the program about to load
    ASSERT_TRUE(load.fromLocation(plugin.plugin, kPresetLocationPlugin, nullptr, "6"));
    plugin.params().flush(plugin.plugin, edit.list(), nullptr);
    ASSERT_TRUE(load.fromLocation(plugin.plugin, kPresetLocationPlugin, nullptr, "6"));
    for (int i = 0; i < kParameterCount; ++i) {
        double expected = physicalValue(i, factoryPrograms[6].values[i]);
        if (i == kDryOut) expected = factoryPrograms[6].values[i] > 0.5f ? 1.0 : 0.0;
        EXPECT_DOUBLE_EQ(plugin.value(i), expected) << parameterTable[i].name;
    }
    EXPECT_EQ(plugin.log.rescans, 2);
    EXPECT_EQ(plugin.log.loaded, (std::vector<std::string>{"6", "6"}));

    for (const char* key : {"8", "-1", "06", "", "x"})
        EXPECT_FALSE(load.fromLocation(plugin.plugin, kPresetLocationPlugin, nullptr, key)) << key;
    EXPECT_FALSE(load.fromLocation(plugin.plugin, kPresetLocationPlugin, nullptr, nullptr));
    EXPECT_FALSE(load.fromLocation(plugin.plugin, kPresetLocationFile, "/tmp/6", "6"));
    EXPECT_EQ(plugin.log.errors.size(), 7u);
    EXPECT_EQ(plugin.log.rescans, 2);
}
