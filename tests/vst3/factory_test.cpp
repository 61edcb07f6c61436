// The module as a host's scanner sees it: entry points, factory and class records, the
// interfaces of an instance, and the moduleinfo.json beside it.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "hallmere_version.h"
#include "plugin/vst3/vst3_identity.h"
#include "vst3_host.h"

using namespace testhost;

TEST(Vst3Factory, ExportsTheLinuxEntryPoints) {
    for (const char* name : {"GetPluginFactory", "ModuleEntry", "ModuleExit"})
        EXPECT_NE(moduleSymbol(name), nullptr) << name;
}

TEST(Vst3Factory, DescribesOneAudioEffectByTovik) {
    IPluginFactory* f = factory();
    ASSERT_NE(f, nullptr);
    PFactoryInfo info{};
    ASSERT_EQ(f->getFactoryInfo(&info), kResultOk);
    EXPECT_STREQ(info.vendor, "Tovik");
    EXPECT_EQ(f->countClasses(), 1);

    void* object = nullptr;
    ASSERT_EQ(f->queryInterface(IPluginFactory3::iid.bytes, &object), kResultOk);
    auto* f3 = static_cast<IPluginFactory3*>(object);
    PClassInfo2 c2{};
    ASSERT_EQ(f3->getClassInfo2(0, &c2), kResultOk);
    PClassInfoW cw{};
    ASSERT_EQ(f3->getClassInfoUnicode(0, &cw), kResultOk);
    EXPECT_EQ(std::memcmp(c2.cid, vst3id::kClassId.bytes, 16), 0);
    EXPECT_EQ(std::memcmp(cw.cid, c2.cid, 16), 0);
    EXPECT_STREQ(c2.category, "Audio Module Class");
    EXPECT_STREQ(c2.name, "Hallmere");
    EXPECT_STREQ(c2.subCategories, "Fx|Reverb");
    EXPECT_STREQ(c2.vendor, "Tovik");
    EXPECT_STREQ(c2.version, HALLMERE_VERSION_TEXT);
    EXPECT_EQ(std::strncmp(c2.sdkVersion, "VST 3.7", 7), 0);
    EXPECT_EQ(utf8(cw.name), "Hallmere");
    EXPECT_EQ(utf8(cw.version), HALLMERE_VERSION_TEXT);
    PClassInfo c{};
    EXPECT_EQ(f3->getClassInfo(1, &c), kInvalidArgument);
}

// On Linux an id's bytes run in the order its words are written.
TEST(Vst3Factory, ClassIdBytesFollowTheWordsAndModuleInfoNamesThem) {
    char text[33];
    for (int i = 0; i < 16; ++i)
        std::snprintf(text + 2 * i, 3, "%02X", static_cast<unsigned char>(vst3id::kClassId.bytes[i]));
    std::ifstream file(HALLMERE_VST3_BUNDLE "/Contents/Resources/moduleinfo.json");
    ASSERT_TRUE(file) << "moduleinfo.json missing";
    std::stringstream json;
    json << file.rdbuf();
    for (const std::string& field :
         {std::string("\"CID\": \"") + text + "\"", std::string("\"Version\": \"") + HALLMERE_VERSION_TEXT + "\"",
          std::string("\"Vendor\": \"Tovik\""), std::string("\"Category\": \"Audio Module Class\"")})
        EXPECT_NE(json.str().find(field), std::string::npos) << field;
}

TEST(Vst3Factory, RefusesOtherClassesAndAnswersItsInterfaces) {
    void* object = reinterpret_cast<void*>(1);
    const Uid other = makeUid(1, 2, 3, 4);
    EXPECT_EQ(factory()->createInstance(other.bytes, IComponent::iid.bytes, &object), kInvalidArgument);
    EXPECT_EQ(object, nullptr);

    Instance plugin;
    ASSERT_NE(plugin.component, nullptr);
    EXPECT_NE(plugin.processor, nullptr);
    EXPECT_NE(plugin.controller, nullptr);
    EXPECT_NE(plugin.units, nullptr);
    EXPECT_EQ(plugin.component->queryInterface(other.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
    TUID controllerId;
    EXPECT_EQ(plugin.component->getControllerClassId(controllerId), kResultFalse);  // a single object
    // Hosts that treat the one object as two initialize it twice.
    EXPECT_EQ(plugin.controller->initialize(nullptr), kResultOk);
    EXPECT_EQ(plugin.controller->terminate(), kResultOk);
}

TEST(Vst3Factory, OffersStereoOrMonoInToStereoOut32BitOnly) {
    Instance plugin;
    SpeakerArrangement stereo = kSpeakerStereo, mono = kSpeakerMono, both[2] = {kSpeakerStereo, kSpeakerStereo};
    EXPECT_EQ(plugin.processor->setBusArrangements(&mono, 1, &stereo, 1), kResultTrue);
    BusInfo bus{};
    ASSERT_EQ(plugin.component->getBusInfo(kAudio, kInput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 1);
    EXPECT_EQ(plugin.processor->setBusArrangements(&stereo, 1, &mono, 1), kResultFalse);
    EXPECT_EQ(plugin.processor->setBusArrangements(both, 2, &stereo, 1), kResultFalse);
    EXPECT_EQ(plugin.processor->setBusArrangements(&stereo, 1, &stereo, 1), kResultTrue);
    ASSERT_EQ(plugin.component->getBusInfo(kAudio, kOutput, 0, bus), kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(plugin.component->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(plugin.processor->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(plugin.processor->canProcessSampleSize(kSample64), kResultFalse);
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
}
