// The plug-in struct and its extensions: the C entry points, each finding the object and
// handing over to it, and the main-thread answers (ports, parameters, presets). The audio,
// the events and the state are in hallmere_clap_process.cpp.
#include "plugin/clap/hallmere_clap.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

#include "effect/parameter_text.h"
#include "effect/tail_frames.h"
#include "hallmere_version.h"
#include "plugin/clap/clap_identity.h"
#include "plugin/clap/clap_panel.h"

namespace clapplug {

using namespace clapabi;

namespace {

HallmereClap* self(const Plugin* plugin) { return HallmereClap::of(plugin); }

void copyText(char* into, std::size_t size, const char* text) { std::snprintf(into, size, "%s", text); }

const char* const kFeatures[] = {"audio-effect", "reverb", "stereo", nullptr};

const PluginDescriptor kDescriptor = {
    kVersion, clapid::kPluginId,     clapid::kName,   clapid::kVendor, "", "",
    "",       HALLMERE_VERSION_TEXT, "Stereo reverb", kFeatures,
};

// Audio ports: one stereo pair each way, the output able to take the input's buffers.
std::uint32_t CLAP_CALL portCount(const Plugin* plugin, bool) { return self(plugin) ? 1 : 0; }

bool CLAP_CALL portGet(const Plugin* plugin, std::uint32_t index, bool isInput, AudioPortInfo* info) {
    if (!self(plugin) || index != 0 || info == nullptr) return false;
    info->id = 0;
    copyText(info->name, sizeof info->name, isInput ? "Input" : "Output");
    info->flags = kAudioPortIsMain;
    info->channelCount = 2;
    info->portType = kPortStereo;
    info->inPlacePair = 0;
    return true;
}

const PluginAudioPorts kAudioPorts = {portCount, portGet};

// Parameters.
bool isTableId(Id id) { return id < static_cast<Id>(kParameterCount); }

std::uint32_t CLAP_CALL paramCount(const Plugin* plugin) { return self(plugin) ? kParameterCount : 0; }

bool CLAP_CALL paramInfo(const Plugin* plugin, std::uint32_t index, ParamInfo* info) {
    if (!self(plugin) || !isTableId(index) || info == nullptr) return false;
    const int i = static_cast<int>(index);
    info->id = index;
    info->flags = kParamIsAutomatable | (isSwitchParameter(i) ? kParamIsStepped : 0u);
    info->cookie = nullptr;
    copyText(info->name, sizeof info->name, parameterTitle(i).c_str());
    info->module[0] = '\0';
    info->minValue = HallmereClap::normalisedToPlain(i, 0.0f);
    info->maxValue = HallmereClap::normalisedToPlain(i, 1.0f);
    info->defaultValue = HallmereClap::normalisedToPlain(i, factoryPrograms[0].values[i]);
    return true;
}

bool CLAP_CALL paramValue(const Plugin* plugin, Id id, double* value) {
    HallmereClap* p = self(plugin);
    return p && value && p->getValue(id, *value);
}

bool CLAP_CALL valueToText(const Plugin* plugin, Id id, double value, char* text, std::uint32_t capacity) {
    float normalised;
    if (!self(plugin) || !isTableId(id) || text == nullptr || capacity == 0 ||
        !HallmereClap::plainToNormalised(static_cast<int>(id), value, normalised))
        return false;
    char shown[64];
    formatParameterText(static_cast<int>(id), normalised, shown, sizeof shown);
    if (std::strlen(shown) >= capacity) return false;
    copyText(text, capacity, shown);
    return true;
}

bool CLAP_CALL textToValue(const Plugin* plugin, Id id, const char* text, double* value) {
    float normalised;
    if (!self(plugin) || !isTableId(id) || text == nullptr || value == nullptr ||
        !parseParameterText(static_cast<int>(id), text, normalised))
        return false;
    *value = HallmereClap::normalisedToPlain(static_cast<int>(id), normalised);
    return true;
}

void CLAP_CALL paramFlush(const Plugin* plugin, const InputEvents* in, const OutputEvents* out) {
    if (HallmereClap* p = self(plugin)) p->flush(in, out);
}

const PluginParams kParams = {paramCount, paramInfo, paramValue, valueToText, textToValue, paramFlush};

// State.
bool CLAP_CALL stateSave(const Plugin* plugin, const OutputStream* stream) {
    HallmereClap* p = self(plugin);
    return p && p->saveState(stream);
}

bool CLAP_CALL stateLoad(const Plugin* plugin, const InputStream* stream) {
    HallmereClap* p = self(plugin);
    return p && p->loadState(stream);
}

const PluginState kState = {stateSave, stateLoad};

// Latency, tail and render mode: no latency, the core's tail, and the same work in either mode.
std::uint32_t CLAP_CALL latency(const Plugin*) { return 0; }
const PluginLatency kLatency = {latency};

std::uint32_t CLAP_CALL tail(const Plugin* plugin) {
    HallmereClap* p = self(plugin);
    return p ? p->tailFrames() : 0;
}
const PluginTail kTail = {tail};

bool CLAP_CALL hardRealtime(const Plugin*) { return false; }
bool CLAP_CALL renderMode(const Plugin*, std::int32_t mode) {
    return mode == kRenderRealtime || mode == kRenderOffline;
}
const PluginRender kRender = {hardRealtime, renderMode};

bool CLAP_CALL presetLoad(const Plugin* plugin, std::uint32_t kind, const char*, const char* loadKey) {
    HallmereClap* p = self(plugin);
    return p && p->loadPreset(kind, loadKey);
}
const PluginPresetLoad kPresetLoad = {presetLoad};

// The plug-in struct.
bool CLAP_CALL pluginInit(const Plugin* plugin) {
    HallmereClap* p = self(plugin);
    return p && p->init();
}

void CLAP_CALL pluginDestroy(const Plugin* plugin) { delete self(plugin); }

bool CLAP_CALL pluginActivate(const Plugin* plugin, double rate, std::uint32_t, std::uint32_t maxFrames) {
    HallmereClap* p = self(plugin);
    return p && p->activate(rate, maxFrames);
}

void CLAP_CALL pluginDeactivate(const Plugin*) {}
bool CLAP_CALL pluginStart(const Plugin* plugin) { return self(plugin) != nullptr; }
void CLAP_CALL pluginStop(const Plugin*) {}

void CLAP_CALL pluginReset(const Plugin* plugin) {
    if (HallmereClap* p = self(plugin)) p->reset();
}

std::int32_t CLAP_CALL pluginProcess(const Plugin* plugin, const Process* process) {
    HallmereClap* p = self(plugin);
    return p && process ? p->process(*process) : kProcessError;
}

const void* CLAP_CALL pluginExtension(const Plugin* plugin, const char* id) {
    if (!self(plugin) || id == nullptr) return nullptr;
    struct Extension {
        const char* id;
        const void* table;
    };
    static const Extension extensions[] = {
        {kAudioPortsExt, &kAudioPorts},
        {kParamsExt, &kParams},
        {kStateExt, &kState},
        {kLatencyExt, &kLatency},
        {kTailExt, &kTail},
        {kRenderExt, &kRender},
        {kPresetLoadExt, &kPresetLoad},
        {kPresetLoadExtDraft, &kPresetLoad},
    };
    for (const Extension& e : extensions)
        if (std::strcmp(e.id, id) == 0) return e.table;
    return panelExtension(id);
}

void CLAP_CALL pluginOnMainThread(const Plugin*) {}

}  // namespace

const PluginDescriptor& descriptor() { return kDescriptor; }

HallmereClap::HallmereClap(const Host* host)
    : plugin_{&kDescriptor, this,       pluginInit,  pluginDestroy, pluginActivate,  pluginDeactivate,
              pluginStart,  pluginStop, pluginReset, pluginProcess, pluginExtension, pluginOnMainThread},
      host_(host) {}

HallmereClap::~HallmereClap() = default;

void HallmereClap::setPanel(std::unique_ptr<ClapPanel> panel) {
    panel_.reset();  // one panel at a time: the old one's window and pump go first
    panel_ = std::move(panel);
}

HallmereClap* HallmereClap::of(const Plugin* plugin) {
    if (plugin == nullptr || plugin->init != pluginInit) return nullptr;
    return static_cast<HallmereClap*>(plugin->pluginData);
}

// The host's extensions may be asked for from init on, not before.
bool HallmereClap::init() {
    if (!core_.isValid()) return false;
    if (host_ && host_->getExtension) {
        hostParams_ = static_cast<const HostParams*>(host_->getExtension(host_, kParamsExt));
        hostPresetLoad_ = static_cast<const HostPresetLoad*>(host_->getExtension(host_, kPresetLoadExt));
        if (hostPresetLoad_ == nullptr)
            hostPresetLoad_ = static_cast<const HostPresetLoad*>(host_->getExtension(host_, kPresetLoadExtDraft));
    }
    return true;
}

bool HallmereClap::activate(double sampleRate, std::uint32_t maxFrames) {
    if (!(sampleRate >= 1.0 && sampleRate < 2147483647.0)) return false;  // NaN too
    if (maxFrames == 0 || maxFrames > 0x7FFFFFFFu) return false;
    maxFrames_ = maxFrames;
    sampleRate_.store(sampleRate, std::memory_order_relaxed);
    core_.setSampleRate(static_cast<float>(sampleRate));
    core_.resume();
    return true;
}

std::uint32_t HallmereClap::tailFrames() const {
    return ::tailFrames(core_.tailSeconds(), sampleRate_.load(std::memory_order_relaxed));
}

bool HallmereClap::plainToNormalised(int index, double plain, float& normalised) {
    if (!isParameterIndex(index) || !std::isfinite(plain)) return false;
    if (isSwitchParameter(index))
        normalised = plain > 0.5 ? 1.0f : 0.0f;
    else
        normalised = static_cast<float>(parameterTable[index].range.normalise(plain));
    return true;
}

double HallmereClap::normalisedToPlain(int index, float normalised) {
    if (isSwitchParameter(index)) return switchIsOn(normalised) ? 1.0 : 0.0;
    return physicalValue(index, normalised);
}

bool HallmereClap::getValue(Id id, double& value) const {
    if (!isTableId(id)) return false;
    value = normalisedToPlain(static_cast<int>(id), core_.getParameter(static_cast<int>(id)));
    return true;
}

// A factory program's load key is its number, "0" to "7".
bool HallmereClap::loadPreset(std::uint32_t kind, const char* loadKey) {
    const bool known = kind == kPresetLocationPlugin && loadKey && loadKey[0] >= '0' &&
                       loadKey[0] < '0' + kProgramCount && loadKey[1] == '\0';
    if (!known) {
        if (hostPresetLoad_ && hostPresetLoad_->onError)
            hostPresetLoad_->onError(host_, kind, nullptr, loadKey, 0, "no such factory program");
        return false;
    }
    const int program = loadKey[0] - '0';
    // Through the setters, so the engine hears of every value even when the program was current.
    core_.setProgram(program);
    for (int i = 0; i < kParameterCount; ++i) core_.setParameter(i, factoryPrograms[program].values[i]);
    core_.programAt(program).setName(factoryPrograms[program].name);
    if (hostParams_ && hostParams_->rescan) hostParams_->rescan(host_, kParamRescanValues);
    if (hostPresetLoad_ && hostPresetLoad_->loaded) hostPresetLoad_->loaded(host_, kind, nullptr, loadKey);
    return true;
}

void HallmereClap::askHostToFlush() const {
    if (hostParams_ && hostParams_->requestFlush) hostParams_->requestFlush(host_);
}

void HallmereClap::beginEdit(int index) {
    if (!isParameterIndex(index)) return;
    const std::uint32_t bit = 1u << index;
    if (edits_.push({Edit::kBegin, static_cast<std::uint32_t>(index), 0.0}))
        gesturesLost_ &= ~bit;
    else
        gesturesLost_ |= bit;
    askHostToFlush();
}

void HallmereClap::performEdit(int index, float normalised) {
    if (!isParameterIndex(index) || !std::isfinite(normalised)) return;
    core_.setParameter(index, std::fmin(std::fmax(normalised, 0.0f), 1.0f));
    const double plain = normalisedToPlain(index, core_.getParameter(index));
    if (!edits_.push({Edit::kValue, static_cast<std::uint32_t>(index), plain}))
        resend_.fetch_or(1u << index, std::memory_order_release);
    askHostToFlush();
}

void HallmereClap::endEdit(int index) {
    if (!isParameterIndex(index) || (gesturesLost_ & (1u << index)) != 0) return;
    if (!edits_.push({Edit::kEnd, static_cast<std::uint32_t>(index), 0.0}))
        endsOwed_.fetch_or(1u << index, std::memory_order_release);
    askHostToFlush();
}

}  // namespace clapplug
