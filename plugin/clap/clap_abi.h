// The CLAP binary interface, as much of it as the plug-in and its test host use: plain C
// structs of data and function pointers, laid out as every CLAP host expects them. Only
// what we use is declared; a host's newer fields lie beyond what we read.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

namespace clapabi {

using Id = std::uint32_t;
constexpr Id kInvalidId = 0xFFFFFFFFu;
constexpr std::uint32_t kNameSize = 256;
constexpr std::uint32_t kPathSize = 1024;

struct Version {
    std::uint32_t major, minor, revision;
};
constexpr Version kVersion = {1, 2, 0};

// Factory and extension ids.
constexpr char kPluginFactoryId[] = "clap.plugin-factory";
constexpr char kPresetDiscoveryFactoryId[] = "clap.preset-discovery-factory/2";
constexpr char kPresetDiscoveryFactoryIdDraft[] = "clap.preset-discovery-factory/draft-2";
constexpr char kAudioPortsExt[] = "clap.audio-ports";
constexpr char kParamsExt[] = "clap.params";
constexpr char kStateExt[] = "clap.state";
constexpr char kLatencyExt[] = "clap.latency";
constexpr char kTailExt[] = "clap.tail";
constexpr char kRenderExt[] = "clap.render";
constexpr char kPresetLoadExt[] = "clap.preset-load/2";
constexpr char kPresetLoadExtDraft[] = "clap.preset-load.draft/2";
constexpr char kGuiExt[] = "clap.gui";
constexpr char kTimerSupportExt[] = "clap.timer-support";
constexpr char kPosixFdSupportExt[] = "clap.posix-fd-support";
constexpr char kThreadCheckExt[] = "clap.thread-check";
constexpr char kPortStereo[] = "stereo";

struct Host {
    Version clapVersion;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    const void*(CLAP_CALL* getExtension)(const Host* host, const char* id);
    void(CLAP_CALL* requestRestart)(const Host* host);
    void(CLAP_CALL* requestProcess)(const Host* host);
    void(CLAP_CALL* requestCallback)(const Host* host);
};

// Events.
constexpr std::uint16_t kCoreEventSpace = 0;
enum EventType : std::uint16_t {
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
};

struct EventHeader {
    std::uint32_t size;  // of the whole event
    std::uint32_t time;  // frame offset in the block
    std::uint16_t spaceId;
    std::uint16_t type;
    std::uint32_t flags;
};

struct ParamValueEvent {
    EventHeader header;
    Id paramId;
    void* cookie;
    std::int32_t noteId;
    std::int16_t portIndex, channel, key;
    double value;
};

struct ParamGestureEvent {
    EventHeader header;
    Id paramId;
};

struct InputEvents {
    void* ctx;
    std::uint32_t(CLAP_CALL* size)(const InputEvents* list);
    const EventHeader*(CLAP_CALL* get)(const InputEvents* list, std::uint32_t index);
};

struct OutputEvents {
    void* ctx;
    bool(CLAP_CALL* tryPush)(const OutputEvents* list, const EventHeader* event);
};

// Processing.
enum ProcessStatus : std::int32_t {
    kProcessError = 0,
    kProcessContinue = 1,
    kProcessContinueIfNotQuiet = 2,
    kProcessTail = 3,
    kProcessSleep = 4,
};

struct AudioBuffer {
    float** data32;
    double** data64;
    std::uint32_t channelCount;
    std::uint32_t latency;
    std::uint64_t constantMask;
};

struct Process {
    std::int64_t steadyTime;
    std::uint32_t framesCount;
    const void* transport;
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    std::uint32_t audioInputsCount;
    std::uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

// The plug-in and its factory.
struct PluginDescriptor {
    Version clapVersion;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* version;
    const char* description;
    const char* const* features;  // null-terminated
};

struct Plugin {
    const PluginDescriptor* desc;
    void* pluginData;
    bool(CLAP_CALL* init)(const Plugin* plugin);
    void(CLAP_CALL* destroy)(const Plugin* plugin);
    bool(CLAP_CALL* activate)(const Plugin* plugin, double sampleRate, std::uint32_t minFrames,
                              std::uint32_t maxFrames);
    void(CLAP_CALL* deactivate)(const Plugin* plugin);
    bool(CLAP_CALL* startProcessing)(const Plugin* plugin);
    void(CLAP_CALL* stopProcessing)(const Plugin* plugin);
    void(CLAP_CALL* reset)(const Plugin* plugin);
    std::int32_t(CLAP_CALL* process)(const Plugin* plugin, const Process* process);
    const void*(CLAP_CALL* getExtension)(const Plugin* plugin, const char* id);
    void(CLAP_CALL* onMainThread)(const Plugin* plugin);
};

struct PluginFactory {
    std::uint32_t(CLAP_CALL* getPluginCount)(const PluginFactory* factory);
    const PluginDescriptor*(CLAP_CALL* getPluginDescriptor)(const PluginFactory* factory, std::uint32_t index);
    const Plugin*(CLAP_CALL* createPlugin)(const PluginFactory* factory, const Host* host, const char* pluginId);
};

struct PluginEntry {
    Version clapVersion;
    bool(CLAP_CALL* init)(const char* pluginPath);
    void(CLAP_CALL* deinit)();
    const void*(CLAP_CALL* getFactory)(const char* factoryId);
};

// Audio ports.
enum : std::uint32_t { kAudioPortIsMain = 1u << 0 };

struct AudioPortInfo {
    Id id;
    char name[kNameSize];
    std::uint32_t flags;
    std::uint32_t channelCount;
    const char* portType;
    Id inPlacePair;
};

struct PluginAudioPorts {
    std::uint32_t(CLAP_CALL* count)(const Plugin* plugin, bool isInput);
    bool(CLAP_CALL* get)(const Plugin* plugin, std::uint32_t index, bool isInput, AudioPortInfo* info);
};

// Parameters: values in the plug-in's plain units.
enum : std::uint32_t {
    kParamIsStepped = 1u << 0,
    kParamIsAutomatable = 1u << 5,
};

struct ParamInfo {
    Id id;
    std::uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double minValue, maxValue, defaultValue;
};

struct PluginParams {
    std::uint32_t(CLAP_CALL* count)(const Plugin* plugin);
    bool(CLAP_CALL* getInfo)(const Plugin* plugin, std::uint32_t index, ParamInfo* info);
    bool(CLAP_CALL* getValue)(const Plugin* plugin, Id id, double* value);
    bool(CLAP_CALL* valueToText)(const Plugin* plugin, Id id, double value, char* text, std::uint32_t capacity);
    bool(CLAP_CALL* textToValue)(const Plugin* plugin, Id id, const char* text, double* value);
    void(CLAP_CALL* flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};

enum : std::uint32_t { kParamRescanValues = 1u << 0 };

struct HostParams {
    void(CLAP_CALL* rescan)(const Host* host, std::uint32_t flags);
    void(CLAP_CALL* clear)(const Host* host, Id id, std::uint32_t flags);
    void(CLAP_CALL* requestFlush)(const Host* host);
};

// State.
struct InputStream {
    void* ctx;
    std::int64_t(CLAP_CALL* read)(const InputStream* stream, void* buffer, std::uint64_t size);
};

struct OutputStream {
    void* ctx;
    std::int64_t(CLAP_CALL* write)(const OutputStream* stream, const void* buffer, std::uint64_t size);
};

struct PluginState {
    bool(CLAP_CALL* save)(const Plugin* plugin, const OutputStream* stream);
    bool(CLAP_CALL* load)(const Plugin* plugin, const InputStream* stream);
};

struct HostState {
    void(CLAP_CALL* markDirty)(const Host* host);
};

// Which of the two symbolic threads the caller is on.
struct HostThreadCheck {
    bool(CLAP_CALL* isMainThread)(const Host* host);
    bool(CLAP_CALL* isAudioThread)(const Host* host);
};

// Latency and tail, in frames.
struct PluginLatency {
    std::uint32_t(CLAP_CALL* get)(const Plugin* plugin);
};

struct PluginTail {
    std::uint32_t(CLAP_CALL* get)(const Plugin* plugin);
};

// The plug-in's word that its latency or tail changed.
struct HostChanged {
    void(CLAP_CALL* changed)(const Host* host);
};

// Render mode.
enum : std::int32_t { kRenderRealtime = 0, kRenderOffline = 1 };

struct PluginRender {
    bool(CLAP_CALL* hasHardRealtimeRequirement)(const Plugin* plugin);
    bool(CLAP_CALL* set)(const Plugin* plugin, std::int32_t mode);
};

// Presets: discovery, and loading what was discovered.
enum : std::uint32_t { kPresetLocationFile = 0, kPresetLocationPlugin = 1 };
enum : std::uint32_t { kPresetIsFactoryContent = 1u << 0 };

struct PluginPresetLoad {
    bool(CLAP_CALL* fromLocation)(const Plugin* plugin, std::uint32_t kind, const char* location, const char* loadKey);
};

struct HostPresetLoad {
    void(CLAP_CALL* onError)(const Host* host, std::uint32_t kind, const char* location, const char* loadKey,
                             std::int32_t osError, const char* message);
    void(CLAP_CALL* loaded)(const Host* host, std::uint32_t kind, const char* location, const char* loadKey);
};

struct UniversalPluginId {
    const char* abi;
    const char* id;
};

struct PresetMetadataReceiver {
    void* receiverData;
    void(CLAP_CALL* onError)(const PresetMetadataReceiver* receiver, std::int32_t osError, const char* message);
    bool(CLAP_CALL* beginPreset)(const PresetMetadataReceiver* receiver, const char* name, const char* loadKey);
    void(CLAP_CALL* addPluginId)(const PresetMetadataReceiver* receiver, const UniversalPluginId* id);
    void(CLAP_CALL* setSoundpackId)(const PresetMetadataReceiver* receiver, const char* id);
    void(CLAP_CALL* setFlags)(const PresetMetadataReceiver* receiver, std::uint32_t flags);
    void(CLAP_CALL* addCreator)(const PresetMetadataReceiver* receiver, const char* creator);
    void(CLAP_CALL* setDescription)(const PresetMetadataReceiver* receiver, const char* description);
    void(CLAP_CALL* setTimestamps)(const PresetMetadataReceiver* receiver, std::uint64_t created,
                                   std::uint64_t modified);
    void(CLAP_CALL* addFeature)(const PresetMetadataReceiver* receiver, const char* feature);
    void(CLAP_CALL* addExtraInfo)(const PresetMetadataReceiver* receiver, const char* key, const char* value);
};

struct PresetLocation {
    std::uint32_t flags;
    const char* name;
    std::uint32_t kind;
    const char* location;  // null for presets inside the plug-in
};

struct PresetFiletype {
    const char* name;
    const char* description;
    const char* fileExtension;
};

struct PresetProviderDescriptor {
    Version clapVersion;
    const char* id;
    const char* name;
    const char* vendor;
};

struct PresetProvider {
    const PresetProviderDescriptor* desc;
    void* providerData;
    bool(CLAP_CALL* init)(const PresetProvider* provider);
    void(CLAP_CALL* destroy)(const PresetProvider* provider);
    bool(CLAP_CALL* getMetadata)(const PresetProvider* provider, std::uint32_t kind, const char* location,
                                 const PresetMetadataReceiver* receiver);
    const void*(CLAP_CALL* getExtension)(const PresetProvider* provider, const char* id);
};

struct PresetIndexer {
    Version clapVersion;
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    void* indexerData;
    bool(CLAP_CALL* declareFiletype)(const PresetIndexer* indexer, const PresetFiletype* filetype);
    bool(CLAP_CALL* declareLocation)(const PresetIndexer* indexer, const PresetLocation* location);
    bool(CLAP_CALL* declareSoundpack)(const PresetIndexer* indexer, const void* soundpack);
    const void*(CLAP_CALL* getExtension)(const PresetIndexer* indexer, const char* id);
};

struct PresetDiscoveryFactory {
    std::uint32_t(CLAP_CALL* count)(const PresetDiscoveryFactory* factory);
    const PresetProviderDescriptor*(CLAP_CALL* getDescriptor)(const PresetDiscoveryFactory* factory,
                                                              std::uint32_t index);
    const PresetProvider*(CLAP_CALL* create)(const PresetDiscoveryFactory* factory, const PresetIndexer* indexer,
                                             const char* providerId);
};

// The panel: embedded in a host's window, sizes in pixels.
constexpr char kWindowApiWin32[] = "win32";
constexpr char kWindowApiX11[] = "x11";

struct WindowRef {
    const char* api;
    union {
        unsigned long x11;
        void* win32;
        void* ptr;
    };
};

struct GuiResizeHints {
    bool canResizeHorizontally;
    bool canResizeVertically;
    bool preserveAspectRatio;
    std::uint32_t aspectRatioWidth;
    std::uint32_t aspectRatioHeight;
};

struct PluginGui {
    bool(CLAP_CALL* isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
    bool(CLAP_CALL* getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
    bool(CLAP_CALL* create)(const Plugin* plugin, const char* api, bool isFloating);
    void(CLAP_CALL* destroy)(const Plugin* plugin);
    bool(CLAP_CALL* setScale)(const Plugin* plugin, double scale);
    bool(CLAP_CALL* getSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* canResize)(const Plugin* plugin);
    bool(CLAP_CALL* getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
    bool(CLAP_CALL* adjustSize)(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height);
    bool(CLAP_CALL* setSize)(const Plugin* plugin, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* setParent)(const Plugin* plugin, const WindowRef* window);
    bool(CLAP_CALL* setTransient)(const Plugin* plugin, const WindowRef* window);
    void(CLAP_CALL* suggestTitle)(const Plugin* plugin, const char* title);
    bool(CLAP_CALL* show)(const Plugin* plugin);
    bool(CLAP_CALL* hide)(const Plugin* plugin);
};

// The host's side of the gui: the plug-in asks it for a new size of an embedded window.
struct HostGui {
    void(CLAP_CALL* resizeHintsChanged)(const Host* host);
    bool(CLAP_CALL* requestResize)(const Host* host, std::uint32_t width, std::uint32_t height);
    bool(CLAP_CALL* requestShow)(const Host* host);
    bool(CLAP_CALL* requestHide)(const Host* host);
    void(CLAP_CALL* closed)(const Host* host, bool wasDestroyed);
};

// Timers and descriptors the host's main loop runs for the plug-in, on the main thread.
struct PluginTimerSupport {
    void(CLAP_CALL* onTimer)(const Plugin* plugin, Id timerId);
};

struct HostTimerSupport {
    bool(CLAP_CALL* registerTimer)(const Host* host, std::uint32_t periodMs, Id* timerId);
    bool(CLAP_CALL* unregisterTimer)(const Host* host, Id timerId);
};

enum : std::uint32_t { kPosixFdRead = 1u << 0, kPosixFdWrite = 1u << 1, kPosixFdError = 1u << 2 };

struct PluginPosixFdSupport {
    void(CLAP_CALL* onFd)(const Plugin* plugin, int fd, std::uint32_t flags);
};

struct HostPosixFdSupport {
    bool(CLAP_CALL* registerFd)(const Host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* modifyFd)(const Host* host, int fd, std::uint32_t flags);
    bool(CLAP_CALL* unregisterFd)(const Host* host, int fd);
};

}  // namespace clapabi
