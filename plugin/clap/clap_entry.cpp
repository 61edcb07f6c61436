// The library's one export and its two factories: the plug-in factory with the one reverb,
// and the preset-discovery factory whose provider lists the eight factory programs as
// presets inside the plug-in.
#include <cstring>
#include <new>

#include "effect/program_title.h"
#include "effect/reverb_program.h"
#include "plugin/clap/clap_identity.h"
#include "plugin/clap/hallmere_clap.h"

namespace {

using namespace clapabi;

bool CLAP_CALL entryInit(const char*) { return true; }
void CLAP_CALL entryDeinit() {}

std::uint32_t CLAP_CALL pluginCount(const PluginFactory*) { return 1; }

const PluginDescriptor* CLAP_CALL pluginDescriptor(const PluginFactory*, std::uint32_t index) {
    return index == 0 ? &clapplug::descriptor() : nullptr;
}

const Plugin* CLAP_CALL createPlugin(const PluginFactory*, const Host* host, const char* id) {
    if (host == nullptr || id == nullptr || std::strcmp(id, clapid::kPluginId) != 0) return nullptr;
    auto* plugin = new (std::nothrow) clapplug::HallmereClap(host);
    return plugin ? plugin->plugin() : nullptr;
}

const PluginFactory kPluginFactory = {pluginCount, pluginDescriptor, createPlugin};

// The provider keeps only the indexer it was made for.
const PresetProviderDescriptor kProviderDescriptor = {kVersion, clapid::kPresetProviderId, "Hallmere factory programs",
                                                      clapid::kVendor};

const PresetIndexer* indexerOf(const PresetProvider* provider) {
    return static_cast<const PresetIndexer*>(provider->providerData);
}

bool CLAP_CALL providerInit(const PresetProvider* provider) {
    const PresetIndexer* indexer = indexerOf(provider);
    if (indexer->declareLocation == nullptr) return false;
    const PresetLocation location = {kPresetIsFactoryContent, "Hallmere factory programs", kPresetLocationPlugin,
                                     nullptr};
    return indexer->declareLocation(indexer, &location);
}

void CLAP_CALL providerDestroy(const PresetProvider* provider) { delete provider; }

bool CLAP_CALL providerMetadata(const PresetProvider*, std::uint32_t kind, const char* location,
                                const PresetMetadataReceiver* receiver) {
    if (kind != kPresetLocationPlugin || location != nullptr || receiver == nullptr || !receiver->beginPreset)
        return false;
    const UniversalPluginId plugin = {"clap", clapid::kPluginId};
    for (int p = 0; p < kProgramCount; ++p) {
        const char key[2] = {static_cast<char>('0' + p), '\0'};
        if (!receiver->beginPreset(receiver, programTitle(factoryPrograms[p].name).c_str(), key)) return true;
        if (receiver->addPluginId) receiver->addPluginId(receiver, &plugin);
        if (receiver->setFlags) receiver->setFlags(receiver, kPresetIsFactoryContent);
        if (receiver->addFeature) receiver->addFeature(receiver, "reverb");
    }
    return true;
}

const void* CLAP_CALL providerExtension(const PresetProvider*, const char*) { return nullptr; }

std::uint32_t CLAP_CALL providerCount(const PresetDiscoveryFactory*) { return 1; }

const PresetProviderDescriptor* CLAP_CALL providerDescriptor(const PresetDiscoveryFactory*, std::uint32_t index) {
    return index == 0 ? &kProviderDescriptor : nullptr;
}

const PresetProvider* CLAP_CALL createProvider(const PresetDiscoveryFactory*, const PresetIndexer* indexer,
                                               const char* id) {
    if (indexer == nullptr || id == nullptr || std::strcmp(id, clapid::kPresetProviderId) != 0) return nullptr;
    return new (std::nothrow) PresetProvider{&kProviderDescriptor, const_cast<PresetIndexer*>(indexer),
                                             providerInit,         providerDestroy,
                                             providerMetadata,     providerExtension};
}

const PresetDiscoveryFactory kPresetDiscoveryFactory = {providerCount, providerDescriptor, createProvider};

const void* CLAP_CALL entryFactory(const char* id) {
    if (id == nullptr) return nullptr;
    if (std::strcmp(id, kPluginFactoryId) == 0) return &kPluginFactory;
    if (std::strcmp(id, kPresetDiscoveryFactoryId) == 0 || std::strcmp(id, kPresetDiscoveryFactoryIdDraft) == 0)
        return &kPresetDiscoveryFactory;
    return nullptr;
}

}  // namespace

extern "C" {
#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
    extern const clapabi::PluginEntry clap_entry = {clapabi::kVersion, entryInit, entryDeinit, entryFactory};
}
