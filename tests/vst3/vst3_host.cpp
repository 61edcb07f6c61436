#include "vst3_host.h"

#include <dlfcn.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "plugin/vst3/vst3_identity.h"

namespace testhost {

namespace {

void* module() {
    static void* handle = [] {
        void* h = dlopen(HALLMERE_VST3_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (h == nullptr) {
            std::fprintf(stderr, "cannot load %s: %s\n", HALLMERE_VST3_MODULE, dlerror());
            std::abort();
        }
        auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(h, "ModuleEntry"));
        if (entry == nullptr || !entry(h)) std::abort();
        return h;
    }();
    return handle;
}

template <class Interface>
Interface* query(FUnknown* object) {
    void* found = nullptr;
    if (object == nullptr || object->queryInterface(Interface::iid.bytes, &found) != kResultOk) return nullptr;
    return static_cast<Interface*>(found);
}

}  // namespace

void* moduleSymbol(const char* name) { return dlsym(module(), name); }

IPluginFactory* factory() {
    auto get = reinterpret_cast<IPluginFactory* (*)()>(moduleSymbol("GetPluginFactory"));
    return get ? get() : nullptr;
}

Instance::Instance() {
    void* object = nullptr;
    if (factory()->createInstance(vst3id::kClassId.bytes, IComponent::iid.bytes, &object) != kResultOk) return;
    component = static_cast<IComponent*>(object);
    processor = query<IAudioProcessor>(component);
    controller = query<IEditController>(component);
    units = query<IUnitInfo>(component);
    component->initialize(nullptr);
    ProcessSetup setup{0, kSample32, 4096, 48000.0};
    processor->setupProcessing(setup);
    component->setActive(1);
    processor->setProcessing(1);
}

Instance::~Instance() {
    if (component == nullptr) return;
    processor->setProcessing(0);
    component->setActive(0);
    component->terminate();
    for (FUnknown* i : {static_cast<FUnknown*>(units), static_cast<FUnknown*>(controller),
                        static_cast<FUnknown*>(processor), static_cast<FUnknown*>(component)})
        if (i) i->release();
}

tresult Instance::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                          std::int32_t frames, IParameterChanges* changes, std::int32_t inputChannels,
                          std::uint64_t* silenceFlags) {
    float* in[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
    float* out[2] = {outLeft, outRight};
    AudioBusBuffers inputs{};
    inputs.numChannels = inputChannels;
    inputs.channelBuffers32 = in;
    AudioBusBuffers outputs{};
    outputs.numChannels = 2;
    outputs.channelBuffers32 = out;
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inputs;
    data.outputs = &outputs;
    data.inputParameterChanges = changes;
    const tresult result = processor->process(data);
    if (silenceFlags) *silenceFlags = outputs.silenceFlags;
    return result;
}

tresult MemoryStream::queryInterface(const TUID iid, void** object) {
    const bool known = FUnknown::iid == iid || IBStream::iid == iid;
    *object = known ? this : nullptr;
    return known ? kResultOk : kNoInterface;
}

tresult MemoryStream::read(void* buffer, std::int32_t count, std::int32_t* done) {
    if (count < 0) return kInvalidArgument;
    std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(count), bytes.size() - position,
                                           static_cast<std::size_t>(limit)});
    if (n > 0) std::memcpy(buffer, bytes.data() + position, n);
    position += n;
    if (done) *done = static_cast<std::int32_t>(n) + claimExtra;
    return kResultOk;
}

tresult MemoryStream::write(void* buffer, std::int32_t count, std::int32_t* done) {
    if (count < 0) return kInvalidArgument;
    const auto* from = static_cast<const unsigned char*>(buffer);
    if (position + count > bytes.size()) bytes.resize(position + count);
    if (count > 0) std::memcpy(bytes.data() + position, from, static_cast<std::size_t>(count));
    position += static_cast<std::size_t>(count);
    if (done) *done = count;
    return kResultOk;
}

tresult MemoryStream::seek(std::int64_t to, std::int32_t mode, std::int64_t* result) {
    const std::int64_t base = mode == kSeekSet ? 0 : mode == kSeekCurrent ? static_cast<std::int64_t>(position)
                                                                          : static_cast<std::int64_t>(bytes.size());
    if (base + to < 0) return kInvalidArgument;
    position = static_cast<std::size_t>(base + to);
    if (position > bytes.size()) position = bytes.size();
    if (result) *result = static_cast<std::int64_t>(position);
    return kResultOk;
}

tresult MemoryStream::tell(std::int64_t* at) {
    if (at) *at = static_cast<std::int64_t>(position);
    return kResultOk;
}

void ChangeList::add(ParamID id, std::int32_t offset, ParamValue value) {
    std::int32_t index, point;
    addParameterData(id, index)->addPoint(offset, value, point);
}

tresult ChangeList::queryInterface(const TUID iid, void** object) {
    const bool known = FUnknown::iid == iid || IParameterChanges::iid == iid;
    *object = known ? this : nullptr;
    return known ? kResultOk : kNoInterface;
}

IParamValueQueue* ChangeList::getParameterData(std::int32_t index) {
    return index >= 0 && index < getParameterCount() ? &queues[static_cast<std::size_t>(index)] : nullptr;
}

IParamValueQueue* ChangeList::addParameterData(const ParamID& id, std::int32_t& index) {
    for (std::size_t i = 0; i < queues.size(); ++i) {
        if (queues[i].id == id) {
            index = static_cast<std::int32_t>(i);
            return &queues[i];
        }
    }
    queues.emplace_back(id);
    index = static_cast<std::int32_t>(queues.size() - 1);
    return &queues.back();
}

tresult ChangeList::Queue::queryInterface(const TUID iid, void** object) {
    const bool known = FUnknown::iid == iid || IParamValueQueue::iid == iid;
    *object = known ? this : nullptr;
    return known ? kResultOk : kNoInterface;
}

tresult ChangeList::Queue::getPoint(std::int32_t index, std::int32_t& offset, ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return kInvalidArgument;
    offset = points[static_cast<std::size_t>(index)].first;
    value = points[static_cast<std::size_t>(index)].second;
    return kResultOk;
}

tresult ChangeList::Queue::addPoint(std::int32_t offset, ParamValue value, std::int32_t& index) {
    points.emplace_back(offset, value);
    index = static_cast<std::int32_t>(points.size() - 1);
    return kResultOk;
}

std::string utf8(const char16* text) {
    std::string s;
    for (; *text; ++text) s += *text < 0x80 ? static_cast<char>(*text) : '?';
    return s;
}

}  // namespace testhost
