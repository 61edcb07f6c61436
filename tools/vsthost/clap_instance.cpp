// The CLAP loader: the module's clap_entry, the plug-in factory's first plug-in and a host
// of our own behind the format-neutral instance. The tool's values are normalised; CLAP's
// are the parameter's own units, so each crosses over through the parameter's range.
// Programs are the plug-in's own presets, found through its preset-discovery factory and
// loaded through preset-load, on the main thread only.
#include "tools/vsthost/clap_host_objects.h"
#include "tools/vsthost/clap_main_loop.h"
#include "tools/vsthost/loaders.h"
#include "tools/vsthost/plugin_loader.h"
#include "tools/vsthost/text.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>

namespace vsthost {
namespace {

struct ClapParam {
    abi::Id id;
    std::string name;
    double min, max;
    bool stepped, automatable;
};

struct ClapPreset {
    std::string name, loadKey;
};

// The plug-in's own presets: what its providers list at the locations inside the plug-in.
class PresetScan {
public:
    std::vector<ClapPreset> run(const abi::PresetDiscoveryFactory& factory) {
        for (std::uint32_t p = 0; p < factory.count(&factory); ++p) {
            const abi::PresetProviderDescriptor* desc = factory.getDescriptor(&factory, p);
            const abi::PresetProvider* provider = desc ? factory.create(&factory, &indexer_, desc->id) : nullptr;
            if (!provider) continue;
            inPlugin_ = false;
            if (provider->init(provider) && inPlugin_)
                provider->getMetadata(provider, abi::kPresetLocationPlugin, nullptr, &receiver_);
            provider->destroy(provider);
        }
        return std::move(presets_);
    }

private:
    static PresetScan& of(void* data) { return *static_cast<PresetScan*>(data); }
    static bool CLAP_CALL declareFiletype(const abi::PresetIndexer*, const abi::PresetFiletype*) { return true; }
    static bool CLAP_CALL declareLocation(const abi::PresetIndexer* indexer, const abi::PresetLocation* location) {
        if (location && location->kind == abi::kPresetLocationPlugin) of(indexer->indexerData).inPlugin_ = true;
        return true;
    }
    static bool CLAP_CALL declareSoundpack(const abi::PresetIndexer*, const void*) { return true; }
    static const void* CLAP_CALL indexerExtension(const abi::PresetIndexer*, const char*) { return nullptr; }
    static void CLAP_CALL onError(const abi::PresetMetadataReceiver*, std::int32_t, const char*) {}
    static bool CLAP_CALL beginPreset(const abi::PresetMetadataReceiver* receiver, const char* name, const char* key) {
        if (key) of(receiver->receiverData).presets_.push_back({name ? name : "", key});
        return true;
    }
    static void CLAP_CALL addPluginId(const abi::PresetMetadataReceiver*, const abi::UniversalPluginId*) {}
    static void CLAP_CALL setText(const abi::PresetMetadataReceiver*, const char*) {}
    static void CLAP_CALL setFlags(const abi::PresetMetadataReceiver*, std::uint32_t) {}
    static void CLAP_CALL setTimestamps(const abi::PresetMetadataReceiver*, std::uint64_t, std::uint64_t) {}
    static void CLAP_CALL addExtraInfo(const abi::PresetMetadataReceiver*, const char*, const char*) {}

    std::vector<ClapPreset> presets_;
    bool inPlugin_ = false;
    abi::PresetIndexer indexer_{abi::kVersion,    "vsthost",       "", "", "1", this, declareFiletype, declareLocation,
                                declareSoundpack, indexerExtension};
    abi::PresetMetadataReceiver receiver_{this,    onError, beginPreset,   addPluginId, setText,     setFlags,
                                          setText, setText, setTimestamps, setText,     addExtraInfo};
};

class ClapInstance final : public Instance {
public:
    ClapInstance() : mainThread_(std::this_thread::get_id()) {}

    ~ClapInstance() override {
        if (plugin_) {
            closeEditor();
            deactivate();
            plugin_->destroy(plugin_);
        }
        if (entry_) entry_->deinit();
    }

    bool load(const std::string& path, std::string& error) {
        std::string why;
        if (!library_.load(path, why)) return fail(error, "cannot load " + path + ": " + why);
        const auto* entry = static_cast<const abi::PluginEntry*>(library_.symbol("clap_entry"));
        if (!entry || !entry->init || !entry->getFactory) return fail(error, path + " exports no clap_entry");
        if (!entry->init(path.c_str())) return fail(error, path + ": clap_entry refused to start");
        entry_ = entry;
        const auto* factory = static_cast<const abi::PluginFactory*>(entry->getFactory(abi::kPluginFactoryId));
        if (!factory || factory->getPluginCount(factory) == 0) return fail(error, path + " has no plug-in factory");
        const abi::PluginDescriptor* desc = factory->getPluginDescriptor(factory, 0);
        if (!desc || !desc->id) return fail(error, "the factory of " + path + " describes no plug-in");
        plugin_ = factory->createPlugin(factory, &host_, desc->id);
        if (!plugin_) return fail(error, "the factory of " + path + " made no plug-in");
        if (!plugin_->init(plugin_)) {
            plugin_->destroy(plugin_);
            plugin_ = nullptr;
            return fail(error, "the plug-in did not initialise");
        }
        params_ = extension<abi::PluginParams>(abi::kParamsExt);
        state_ = extension<abi::PluginState>(abi::kStateExt);
        ports_ = extension<abi::PluginAudioPorts>(abi::kAudioPortsExt);
        presetLoad_ = extension<abi::PluginPresetLoad>(abi::kPresetLoadExt);
        if (!presetLoad_) presetLoad_ = extension<abi::PluginPresetLoad>(abi::kPresetLoadExtDraft);
        readParameters();
        readPresets();
        return true;
    }

    const char* format() const override { return "clap"; }

    InfoLines identity() override {
        const abi::PluginDescriptor& d = *plugin_->desc;
        auto text = [](const char* s) { return quoted(s ? s : ""); };
        std::string features;
        for (const char* const* f = d.features; f && *f; ++f)
            features += (features.empty() ? "" : " ") + std::string(*f);
        const auto* latency = extension<abi::PluginLatency>(abi::kLatencyExt);
        const auto* tail = extension<abi::PluginTail>(abi::kTailExt);
        char clapVersion[40];
        std::snprintf(clapVersion, sizeof clapVersion, "%u.%u.%u", d.clapVersion.major, d.clapVersion.minor,
                      d.clapVersion.revision);
        return {
            {"name", text(d.name)},
            {"vendor", text(d.vendor)},
            {"version", text(d.version)},
            {"id", text(d.id)},
            {"description", text(d.description)},
            {"features", quoted(features)},
            {"clapVersion", clapVersion},
            {"numPrograms", std::to_string(programCount())},
            {"numParams", std::to_string(parameterCount())},
            {"numInputs", std::to_string(inputs())},
            {"numOutputs", std::to_string(outputs())},
            {"latency", std::to_string(latency && active_ ? latency->get(plugin_) : 0)},
            {"tail", std::to_string(tail && active_ ? tail->get(plugin_) : 0)},
        };
    }

    InfoLines capabilities() override { return {{"editor", extension<abi::PluginGui>(abi::kGuiExt) ? "gui" : "none"}}; }

    int inputs() const override { return channels(true); }
    int outputs() const override { return channels(false); }

    void activate(double rate, int maxBlock) override {
        if (active_) deactivate();
        active_ = plugin_->activate(plugin_, rate, 1, static_cast<std::uint32_t>(maxBlock));
    }
    void deactivate() override {
        stopPlugin();
        if (active_) plugin_->deactivate(plugin_);
        active_ = false;
    }
    void changeRateCarelessly(double rate, int maxBlock) override {
        // CLAP knows no new rate without a new activation; even a careless host goes that way.
        const bool wanted = processingWanted_;
        activate(rate, maxBlock);
        processingWanted_ = wanted;
    }
    void startProcessing() override {
        processingWanted_ = true;
        startPlugin();
    }
    void stopProcessing() override {
        processingWanted_ = false;
        stopPlugin();
    }

    bool canProcess(ProcessMode mode) const override { return mode == ProcessMode::Replace; }
    void process(float** in, float** out, int frames, ProcessMode) override {
        audioThread_.store(std::this_thread::get_id(), std::memory_order_relaxed);
        takeEdits();
        if (processingWanted_) startPlugin();
        if (!processing_) {  // not active: no plug-in call may touch the buffers
            for (int c = 0; c < 2; ++c) std::fill(out[c], out[c] + frames, 0.0f);
            pending_.clear();
            return;
        }
        abi::AudioBuffer inputs{in, nullptr, 2, 0, 0};
        abi::AudioBuffer outputs{out, nullptr, 2, 0, 0};
        const abi::Process data{
            steadyTime_,     static_cast<std::uint32_t>(frames), nullptr, &inputs, &outputs, 1, 1, pending_.list(),
            reported_.list()};
        plugin_->process(plugin_, &data);
        steadyTime_ += frames;
        pending_.clear();
        reported_.clear();
    }

    int parameterCount() const override { return static_cast<int>(parameters_.size()); }
    std::string parameterName(int index) override { return parameters_[index].name; }
    std::string parameterLabel(int) override { return ""; }  // CLAP's texts carry their units
    std::string parameterDisplay(int index) override {
        char text[abi::kNameSize] = {};
        double value = 0.0;
        const abi::Id id = parameters_[index].id;
        if (!params_->getValue(plugin_, id, &value) || !params_->valueToText(plugin_, id, value, text, sizeof text))
            return "";
        return text;
    }
    double parameterValue(int index) override {
        double value = 0.0;
        const ClapParam& p = parameters_[index];
        if (!params_->getValue(plugin_, p.id, &value)) return std::nan("");
        return p.max > p.min ? (value - p.min) / (p.max - p.min) : 0.0;
    }
    void setParameter(int index, double value) override { setPlain(index, plainValue(index, value)); }
    // From the window thread: handed to the thread that processes, which sends it with the
    // next block; a newer edit of the same parameter replaces one not yet sent.
    void editParameter(int index, double value) override {
        if (index < 0 || index >= kMaxEdits) return;
        edits_[index].value.store(plainValue(index, value), std::memory_order_relaxed);
        edits_[index].due.store(true, std::memory_order_release);
    }
    bool setParameterText(int index, const std::string& text) override {
        double value = 0.0;
        if (!params_->textToValue(plugin_, parameters_[index].id, text.c_str(), &value)) return false;
        setPlain(index, value);
        return true;
    }

    int programCount() override { return presetLoad_ ? static_cast<int>(presets_.size()) : 0; }
    std::string programName(int index) override { return presets_[index].name; }
    void setProgram(int index) override {
        if (index < 0 || index >= programCount() || !isMainThread()) return;
        presetLoad_->fromLocation(plugin_, abi::kPresetLocationPlugin, nullptr, presets_[index].loadKey.c_str());
    }
    bool programsOnAudioThread() const override { return false; }

    bool saveState(std::vector<unsigned char>& bytes, std::string& error) override {
        ClapStream stream;
        if (!state_ || !state_->save(plugin_, stream.out())) return fail(error, "the plug-in gave no state");
        bytes = std::move(stream.bytes);
        return true;
    }
    bool loadState(const std::vector<unsigned char>& bytes, std::string& error) override {
        ClapStream stream(bytes);
        if (!state_ || !state_->load(plugin_, stream.in())) return fail(error, "the plug-in refused the state");
        return true;
    }

    // The panel embedded in the host's window; idle serves the timers and descriptors it
    // asked the host's main loop for.
    bool openEditor(void* parent) override {
#if defined(_WIN32)
        abi::WindowRef window{abi::kWindowApiWin32, {}};
        window.win32 = parent;
#else
        abi::WindowRef window{abi::kWindowApiX11, {}};
        window.x11 = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent));
#endif
        const auto* gui = extension<abi::PluginGui>(abi::kGuiExt);
        if (!parent || !gui || guiOpen_ || !gui->isApiSupported(plugin_, window.api, false) ||
            !gui->create(plugin_, window.api, false))
            return false;
        guiOpen_ = scaled(*gui) && gui->setParent(plugin_, &window) && gui->show(plugin_);
        if (!guiOpen_) gui->destroy(plugin_);
        return guiOpen_;
    }
    void idleEditor() override {
        if (guiOpen_) loop_.run(plugin_);
    }
    bool setEditorScale(double scale) override {
        scale_ = scale;
        return withClosedGui([this](const abi::PluginGui& gui) { return scaled(gui); });
    }
    bool editorRect(EditorRect& rect) override {
        return withClosedGui([this, &rect](const abi::PluginGui& gui) {
            std::uint32_t width = 0, height = 0;
            if (!scaled(gui) || !gui.getSize(plugin_, &width, &height)) return false;
            rect = EditorRect{0, 0, int(height), int(width)};
            return true;
        });
    }
    void closeEditor() override {
        if (!guiOpen_) return;
        const auto* gui = extension<abi::PluginGui>(abi::kGuiExt);
        gui->hide(plugin_);
        gui->destroy(plugin_);
        guiOpen_ = false;
    }

    void automate(int index, int offset, double value) override {
        pending_.add(static_cast<std::uint32_t>(offset), parameters_[index].id, plainValue(index, value));
    }
    bool automatable(int index) override { return parameters_[index].automatable; }
    void automateProgram(int, int) override {}  // preset-load belongs to the main thread
    bool automateBypass(bool, int) override { return false; }

private:
    static constexpr int kMaxEdits = 64;

#if defined(_WIN32)
    static constexpr const char* kOwnApi = abi::kWindowApiWin32;
#else
    static constexpr const char* kOwnApi = abi::kWindowApiX11;
#endif

    // A gui made for the question alone, before the editor opens.
    template <class Ask>
    bool withClosedGui(Ask ask) {
        const auto* gui = extension<abi::PluginGui>(abi::kGuiExt);
        if (!gui || guiOpen_ || !gui->isApiSupported(plugin_, kOwnApi, false) || !gui->create(plugin_, kOwnApi, false))
            return false;
        const bool answer = ask(*gui);
        gui->destroy(plugin_);
        return answer;
    }
    // The scale asked for, between create and the parent; an unscaled gui keeps its own.
    bool scaled(const abi::PluginGui& gui) { return scale_ == 0.0 || gui.setScale(plugin_, scale_); }

    struct Edit {
        std::atomic<double> value{0.0};
        std::atomic<bool> due{false};
    };

    static bool fail(std::string& error, const std::string& why) {
        error = why;
        return false;
    }

    template <class Extension>
    const Extension* extension(const char* id) const {
        return static_cast<const Extension*>(plugin_->getExtension(plugin_, id));
    }

    bool isMainThread() const { return std::this_thread::get_id() == mainThread_; }

    void readParameters() {
        for (std::uint32_t i = 0; params_ && i < params_->count(plugin_); ++i) {
            abi::ParamInfo info{};
            if (!params_->getInfo(plugin_, i, &info)) continue;
            parameters_.push_back({info.id, std::string(info.name, strnlen(info.name, sizeof info.name)), info.minValue,
                                   info.maxValue, (info.flags & abi::kParamIsStepped) != 0,
                                   (info.flags & abi::kParamIsAutomatable) != 0});
        }
    }

    void readPresets() {
        const void* factory = entry_->getFactory(abi::kPresetDiscoveryFactoryId);
        if (!factory) factory = entry_->getFactory(abi::kPresetDiscoveryFactoryIdDraft);
        if (factory) presets_ = PresetScan().run(*static_cast<const abi::PresetDiscoveryFactory*>(factory));
    }

    // A stepped parameter takes the nearest step, a value half way taking the lower one, as
    // the VST 2.x switches read it.
    double plainValue(int index, double normalised) const {
        const ClapParam& p = parameters_[index];
        const double plain = p.min + normalised * (p.max - p.min);
        return p.stepped ? std::ceil(plain - 0.5) : plain;
    }

    // Before processing the plug-in takes the value at once through its flush; while it
    // processes, with the next block.
    void setPlain(int index, double value) {
        if (processing_) {
            pending_.add(0, parameters_[index].id, value);
            return;
        }
        ClapEventList one;
        one.add(0, parameters_[index].id, value);
        params_->flush(plugin_, one.list(), reported_.list());
        reported_.clear();
    }

    void takeEdits() {
        for (int i = 0; i < parameterCount() && i < kMaxEdits; ++i)
            if (edits_[i].due.exchange(false, std::memory_order_acquire))
                pending_.add(0, parameters_[i].id, edits_[i].value.load(std::memory_order_relaxed));
    }

    void startPlugin() {
        if (active_ && !processing_) processing_ = plugin_->startProcessing(plugin_);
    }
    void stopPlugin() {
        if (processing_) plugin_->stopProcessing(plugin_);
        processing_ = false;
    }

    int channels(bool input) const {
        abi::AudioPortInfo info{};
        return ports_ && ports_->count(plugin_, input) > 0 && ports_->get(plugin_, 0, input, &info)
                   ? static_cast<int>(info.channelCount)
                   : 0;
    }

    // The host's side: what the plug-in may ask for, answered without waiting.
    static ClapInstance& of(const abi::Host* host) { return *static_cast<ClapInstance*>(host->hostData); }
    static const void* CLAP_CALL hostExtension(const abi::Host*, const char* id) {
        static const abi::HostParams params = {[](const abi::Host*, std::uint32_t) {},
                                               [](const abi::Host*, abi::Id, std::uint32_t) {},
                                               [](const abi::Host*) {}};
        static const abi::HostState state = {[](const abi::Host*) {}};
        static const abi::HostChanged changed = {[](const abi::Host*) {}};
        static const abi::HostThreadCheck threads = {[](const abi::Host* host) { return of(host).isMainThread(); },
                                                     [](const abi::Host* host) {
                                                         return of(host).audioThread_.load(std::memory_order_relaxed) ==
                                                                std::this_thread::get_id();
                                                     }};
        static const abi::HostTimerSupport timers = {
            [](const abi::Host* host, std::uint32_t period, abi::Id* id) {
                return id && of(host).loop_.addTimer(period, *id);
            },
            [](const abi::Host* host, abi::Id id) { return of(host).loop_.removeTimer(id); }};
        static const abi::HostPosixFdSupport fds = {
            [](const abi::Host* host, int fd, std::uint32_t flags) { return of(host).loop_.watch(fd, flags, false); },
            [](const abi::Host* host, int fd, std::uint32_t flags) { return of(host).loop_.watch(fd, flags, true); },
            [](const abi::Host* host, int fd) { return of(host).loop_.unwatch(fd); }};
        struct Answer {
            const char* id;
            const void* table;
        };
        static const Answer answers[] = {{abi::kParamsExt, &params},       {abi::kStateExt, &state},
                                         {abi::kLatencyExt, &changed},     {abi::kTailExt, &changed},
                                         {abi::kThreadCheckExt, &threads}, {abi::kTimerSupportExt, &timers},
                                         {abi::kPosixFdSupportExt, &fds}};
        for (const Answer& a : answers)
            if (id && std::strcmp(a.id, id) == 0) return a.table;
        return nullptr;
    }
    static void CLAP_CALL hostRequest(const abi::Host*) {}

    PluginLibrary library_;
    const abi::PluginEntry* entry_ = nullptr;
    abi::Host host_{abi::kVersion, this, "vsthost", "", "", "1", hostExtension, hostRequest, hostRequest, hostRequest};
    const abi::Plugin* plugin_ = nullptr;
    const abi::PluginParams* params_ = nullptr;
    const abi::PluginState* state_ = nullptr;
    const abi::PluginAudioPorts* ports_ = nullptr;
    const abi::PluginPresetLoad* presetLoad_ = nullptr;
    std::vector<ClapParam> parameters_;
    std::vector<ClapPreset> presets_;
    const std::thread::id mainThread_;
    std::atomic<std::thread::id> audioThread_{};
    bool active_ = false;
    bool processingWanted_ = false;
    bool processing_ = false;
    std::int64_t steadyTime_ = 0;
    Edit edits_[kMaxEdits];
    ClapMainLoop loop_;
    bool guiOpen_ = false;
    double scale_ = 0.0;       // 0: never set, the gui's own
    ClapEventList pending_;    // for the next block
    ClapOutputList reported_;  // what the plug-in sends back
};

}  // namespace

bool isClapPath(const std::string& path) { return endsWithNoCase(path, ".clap"); }

std::unique_ptr<Instance> openClap(const std::string& path, std::string& error) {
    auto instance = std::make_unique<ClapInstance>();
    if (!instance->load(path, error)) return nullptr;
    return instance;
}

}  // namespace vsthost
