#include "clap_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace testhost {

namespace {

HostLog& logOf(const Host* host) { return Instance::of(host).log; }

void CLAP_CALL rescan(const Host* host, std::uint32_t) { ++logOf(host).rescans; }
void CLAP_CALL clear(const Host*, Id, std::uint32_t) {}
void CLAP_CALL requestFlush(const Host* host) { ++logOf(host).flushRequests; }
const HostParams kHostParams = {rescan, clear, requestFlush};

void CLAP_CALL presetError(const Host* host, std::uint32_t, const char*, const char* key, std::int32_t, const char*) {
    logOf(host).errors.push_back(key ? key : "(null)");
}
void CLAP_CALL presetLoaded(const Host* host, std::uint32_t, const char*, const char* key) {
    logOf(host).loaded.push_back(key);
}
const HostPresetLoad kHostPresetLoad = {presetError, presetLoaded};

const void* CLAP_CALL hostExtension(const Host* host, const char* id) {
    if (std::strcmp(id, kParamsExt) == 0) return &kHostParams;
    if (std::strcmp(id, kPresetLoadExt) == 0) return &kHostPresetLoad;
    const HostAdditions& more = Instance::of(host).additions;
    return more.extension ? more.extension(id) : nullptr;
}
void CLAP_CALL hostRequest(const Host*) {}

}  // namespace

const PluginEntry& entry() {
    static const PluginEntry* loaded = [] {
        void* module = dlopen(HALLMERE_CLAP_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            std::fprintf(stderr, "cannot load %s: %s\n", HALLMERE_CLAP_MODULE, dlerror());
            std::abort();
        }
        const auto* e = static_cast<const PluginEntry*>(dlsym(module, "clap_entry"));
        if (e == nullptr || !e->init(HALLMERE_CLAP_MODULE)) std::abort();
        return e;
    }();
    return *loaded;
}

const PluginFactory& pluginFactory() {
    return *static_cast<const PluginFactory*>(entry().getFactory(kPluginFactoryId));
}

void EventList::value(std::uint32_t time, Id id, double value) {
    ParamValueEvent e{};
    e.header = {sizeof e, time, kCoreEventSpace, kEventParamValue, 0};
    e.paramId = id;
    e.noteId = -1;
    e.portIndex = e.channel = e.key = -1;
    e.value = value;
    events_.push_back(e);
}

std::uint32_t CLAP_CALL EventList::sizeOf(const InputEvents* list) {
    return static_cast<std::uint32_t>(static_cast<const EventList*>(list->ctx)->events_.size());
}

const EventHeader* CLAP_CALL EventList::get(const InputEvents* list, std::uint32_t index) {
    const auto& events = static_cast<const EventList*>(list->ctx)->events_;
    return index < events.size() ? &events[index].header : nullptr;
}

bool CLAP_CALL OutputList::push(const OutputEvents* list, const EventHeader* event) {
    auto* self = static_cast<OutputList*>(list->ctx);
    if (self->sent.size() >= self->capacity) return false;
    Sent s{event->type, kInvalidId, 0.0};
    if (event->type == kEventParamValue) {
        const auto* v = reinterpret_cast<const ParamValueEvent*>(event);
        s.id = v->paramId;
        s.value = v->value;
    } else {
        s.id = reinterpret_cast<const ParamGestureEvent*>(event)->paramId;
    }
    self->sent.push_back(s);
    return true;
}

Instance::Instance(HostAdditions additions)
    : additions(additions), host_{kVersion, this,          "hallmere tests", "",          "",
                                  "1",      hostExtension, hostRequest,      hostRequest, hostRequest} {
    plugin = pluginFactory().createPlugin(&pluginFactory(), &host_, "com.tovik.hallmere");
    if (plugin == nullptr || !plugin->init(plugin) || !plugin->activate(plugin, 48000.0, 1, 4096) ||
        !plugin->startProcessing(plugin))
        std::abort();
}

Instance::~Instance() {
    plugin->stopProcessing(plugin);
    plugin->deactivate(plugin);
    plugin->destroy(plugin);
}

double Instance::value(Id id) const {
    double v = -1e9;
    EXPECT_TRUE(params().getValue(plugin, id, &v)) << "parameter " << id;
    return v;
}

std::int32_t Instance::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                               std::uint32_t frames, const EventList* events, OutputList* out) {
    float* inputs[2] = {const_cast<float*>(inLeft), const_cast<float*>(inRight)};
    float* outputs[2] = {outLeft, outRight};
    AudioBuffer in{inputs, nullptr, 2, 0, 0};
    AudioBuffer output{outputs, nullptr, 2, 0, 0};
    static const EventList none;
    OutputList ignored;
    const Process p{
        -1, frames, nullptr, &in, &output, 1, 1, (events ? events : &none)->list(), (out ? out : &ignored)->list()};
    return plugin->process(plugin, &p);
}

std::int64_t CLAP_CALL MemoryStream::read(const InputStream* stream, void* buffer, std::uint64_t size) {
    auto* self = static_cast<MemoryStream*>(stream->ctx);
    if (self->position >= self->failAfter) return -1;
    const std::uint64_t n =
        std::min({size, self->limit, static_cast<std::uint64_t>(self->bytes.size() - self->position)});
    if (n > 0) std::memcpy(buffer, self->bytes.data() + self->position, n);
    self->position += n;
    return static_cast<std::int64_t>(n) + (n > 0 ? self->claimExtra : 0);
}

std::int64_t CLAP_CALL MemoryStream::write(const OutputStream* stream, const void* buffer, std::uint64_t size) {
    auto* self = static_cast<MemoryStream*>(stream->ctx);
    if (self->bytes.size() >= self->failAfter) return -1;
    const std::uint64_t n = std::min(size, self->limit);
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    self->bytes.insert(self->bytes.end(), bytes, bytes + n);
    return static_cast<std::int64_t>(n);
}

}  // namespace testhost
