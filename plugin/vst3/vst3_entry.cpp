// The module's exported entry points and its class factory: one audio effect class.
#include <new>
#include <type_traits>

#include "hallmere_version.h"
#include "plugin/vst3/hallmere_vst3.h"
#include "plugin/vst3/vst3_identity.h"
#include "plugin/vst3/vst3_text.h"

namespace vst3 {

namespace {

// The factory lives as long as the module; references to it change nothing.
class Factory final : public IPluginFactory3 {
public:
    tresult VST3_CALL queryInterface(const TUID iid, void** object) override {
        if (object == nullptr) return kInvalidArgument;
        const bool known = FUnknown::iid == iid || IPluginFactory::iid == iid || IPluginFactory2::iid == iid ||
                           IPluginFactory3::iid == iid;
        *object = known ? this : nullptr;
        return known ? kResultOk : kNoInterface;
    }
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }

    tresult VST3_CALL getFactoryInfo(PFactoryInfo* info) override {
        if (info == nullptr) return kInvalidArgument;
        copyText(info->vendor, vst3id::kVendor);
        copyText(info->url, "");
        copyText(info->email, "");
        info->flags = PFactoryInfo::kUnicode;
        return kResultOk;
    }

    std::int32_t VST3_CALL countClasses() override { return 1; }

    tresult VST3_CALL getClassInfo(std::int32_t index, PClassInfo* info) override { return describe(index, info); }
    tresult VST3_CALL getClassInfo2(std::int32_t index, PClassInfo2* info) override { return describe(index, info); }
    tresult VST3_CALL getClassInfoUnicode(std::int32_t index, PClassInfoW* info) override {
        return describe(index, info);
    }

    tresult VST3_CALL createInstance(FIDString cid, FIDString iid, void** object) override {
        if (object == nullptr) return kInvalidArgument;
        *object = nullptr;
        if (!(vst3id::kClassId == cid) || iid == nullptr) return kInvalidArgument;
        auto* plugin = new (std::nothrow) HallmereVst3;
        if (plugin == nullptr) return kOutOfMemory;
        if (!plugin->isValid()) {
            plugin->release();  // the engine could not get its buffers
            return kOutOfMemory;
        }
        const tresult result = plugin->queryInterface(iid, object);
        plugin->release();
        return result;
    }

    tresult VST3_CALL setHostContext(FUnknown*) override { return kResultOk; }

private:
    // The three class records share their first fields; the longer two add the rest.
    template <class Info>
    static tresult describe(std::int32_t index, Info* info) {
        if (index != 0 || info == nullptr) return kInvalidArgument;
        std::memcpy(info->cid, vst3id::kClassId.bytes, sizeof info->cid);
        info->cardinality = kManyInstances;
        copyText(info->category, kAudioEffectCategory);
        copyText(info->name, vst3id::kName);
        if constexpr (!std::is_same_v<Info, PClassInfo>) {
            info->classFlags = 0;
            copyText(info->subCategories, vst3id::kSubCategories);
            copyText(info->vendor, vst3id::kVendor);
            copyText(info->version, HALLMERE_VERSION_TEXT);
            copyText(info->sdkVersion, vst3id::kSdkVersion);
        }
        return kResultOk;
    }
};

Factory factory;

}  // namespace

}  // namespace vst3

// Windows exports these through the .def files, under their plain names.
#if defined(_WIN32)
#define VST3_EXPORT
#else
#define VST3_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

VST3_EXPORT vst3::IPluginFactory* VST3_CALL GetPluginFactory() { return &vst3::factory; }

// Nothing to set up or tear down per module: each instance owns all it uses.
#if defined(_WIN32)
VST3_EXPORT bool InitDll() { return true; }
VST3_EXPORT bool ExitDll() { return true; }
#else
VST3_EXPORT bool ModuleEntry(void*) { return true; }
VST3_EXPORT bool ModuleExit() { return true; }
#endif
}
