// The VST 3 loader: the bundle's module, the factory's first audio effect class as
// component, audio processor and edit controller behind the format-neutral instance.
// Values set before processing reach the processor as parameter changes of the next block,
// as a host's automation does.
#include "tools/vsthost/loaders.h"
#include "tools/vsthost/plugin_loader.h"
#include "tools/vsthost/text.h"
#include "tools/vsthost/vst3_frame.h"
#include "tools/vsthost/vst3_host_objects.h"
#include "plugin/vst3/vst3_view.h"

#include <sys/stat.h>

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace vsthost {
namespace {

#if defined(_WIN32)
#if defined(_WIN64)
constexpr const char* kArchitecture = "x86_64-win";
#else
constexpr const char* kArchitecture = "x86-win";
#endif
constexpr const char* kModuleSuffix = ".vst3";
#elif defined(__aarch64__)
constexpr const char* kArchitecture = "aarch64-linux";
constexpr const char* kModuleSuffix = ".so";
#else
constexpr const char* kArchitecture = "x86_64-linux";
constexpr const char* kModuleSuffix = ".so";
#endif

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool endsWithVst3(const std::string& name) {
    if (name.size() < 5) return false;
    std::string tail = name.substr(name.size() - 5);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".vst3";
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == S_IFDIR;
}

std::string utf8(const char16* text, std::size_t size) {
    std::string s;
    for (std::size_t i = 0; i < size && text[i]; ++i) s += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return s;
}

std::string fixed(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

template <class Interface>
Interface* query(FUnknown* object) {
    void* found = nullptr;
    if (!object || object->queryInterface(Interface::iid.bytes, &found) != kResultOk) return nullptr;
    return static_cast<Interface*>(found);
}

void release(FUnknown* object) {
    if (object) object->release();
}

class Vst3Instance final : public Instance {
public:
    ~Vst3Instance() override {
        closeEditor();
        if (controller_) controller_->setComponentHandler(nullptr);
        if (separateController_) controller_->terminate();
        if (component_) component_->terminate();
        for (FUnknown* object :
             {static_cast<FUnknown*>(units_), static_cast<FUnknown*>(controller_), static_cast<FUnknown*>(processor_),
              static_cast<FUnknown*>(component_), static_cast<FUnknown*>(factory_)})
            release(object);
        auto exit = reinterpret_cast<bool (*)()>(library_.symbol(kModuleExit));
        if (entered_ && exit) exit();
    }

    bool load(const std::string& path, std::string& error) {
        const std::string module = vst3ModuleFile(path);
        std::string why;
        if (!library_.load(module, why)) return fail(error, "cannot load " + module + ": " + why);
        entered_ = enterModule();
        if (!entered_) return fail(error, module + ": the module's entry refused to start");
        auto getFactory = reinterpret_cast<IPluginFactory*(VST3_CALL*)()>(library_.symbol("GetPluginFactory"));
        if (!getFactory) return fail(error, module + " exports no GetPluginFactory");
        factory_ = getFactory();
        if (!factory_) return fail(error, "the factory of " + module + " is null");
        if (!findEffectClass()) return fail(error, module + " has no audio effect class");
        void* object = nullptr;
        if (factory_->createInstance(classInfo_.cid, IComponent::iid.bytes, &object) != kResultOk || !object)
            return fail(error, "the factory of " + module + " made no component");
        component_ = static_cast<IComponent*>(object);
        if (component_->initialize(nullptr) != kResultOk) return fail(error, "the component did not initialise");
        processor_ = query<IAudioProcessor>(component_);
        if (!processor_) return fail(error, "the component is no audio processor");
        if (!findController()) return fail(error, "the plug-in has no edit controller");
        controller_->setComponentHandler(&edits_);
        units_ = query<IUnitInfo>(controller_);
        if (!units_) units_ = query<IUnitInfo>(component_);
        SpeakerArrangement in = kSpeakerStereo, out = kSpeakerStereo;
        if (processor_->setBusArrangements(&in, 1, &out, 1) != kResultOk)
            return fail(error, "the plug-in does not take a stereo input and output");
        readParameters();
        return true;
    }

    const char* format() const override { return "vst3"; }

    InfoLines identity() override {
        PFactoryInfo factory{};
        factory_->getFactoryInfo(&factory);
        PClassInfo2 more{};
        IPluginFactory2* second = query<IPluginFactory2>(factory_);
        const bool described = second && second->getClassInfo2(classIndex_, &more) == kResultOk;
        release(second);
        char id[40];
        for (int i = 0; i < 16; ++i)
            std::snprintf(id + 2 * i, 3, "%02X", static_cast<unsigned>(static_cast<unsigned char>(classInfo_.cid[i])));
        return {
            {"name", quoted(fixed(classInfo_.name, sizeof classInfo_.name))},
            {"vendor",
             quoted(described ? fixed(more.vendor, sizeof more.vendor) : fixed(factory.vendor, sizeof factory.vendor))},
            {"version", quoted(described ? fixed(more.version, sizeof more.version) : "")},
            {"category", quoted(fixed(classInfo_.category, sizeof classInfo_.category))},
            {"subCategories", quoted(described ? fixed(more.subCategories, sizeof more.subCategories) : "")},
            {"sdkVersion", quoted(described ? fixed(more.sdkVersion, sizeof more.sdkVersion) : "")},
            {"classID", id},
            {"numPrograms", std::to_string(programCount())},
            {"numParams", std::to_string(parameterCount())},
            {"numInputs", std::to_string(inputs())},
            {"numOutputs", std::to_string(outputs())},
            {"latency", std::to_string(processor_->getLatencySamples())},
        };
    }

    InfoLines capabilities() override {
        IPlugView* view = controller_->createView(kEditorViewName);
        const bool hasView = view != nullptr;
        release(view);
        return {{"editor", hasView ? "view" : "none"}};
    }

    int inputs() const override { return channels(kInput); }
    int outputs() const override { return channels(kOutput); }

    void activate(double rate, int maxBlock) override {
        ProcessSetup setup{0, kSample32, maxBlock, rate};
        processor_->setupProcessing(setup);
        component_->setActive(1);
    }
    void deactivate() override { component_->setActive(0); }
    void changeRateCarelessly(double rate, int maxBlock) override {
        ProcessSetup setup{0, kSample32, maxBlock, rate};
        processor_->setupProcessing(setup);
    }
    void startProcessing() override {
        processor_->setProcessing(1);
        takeWindowEdits();
        if (pending_.getParameterCount() > 0) {  // the host's flush: the settings without audio
            float silence[1] = {0.0f};
            float* none[2] = {silence, silence};
            run(none, none, 0);
        }
    }
    void stopProcessing() override { processor_->setProcessing(0); }

    bool canProcess(ProcessMode mode) const override { return mode == ProcessMode::Replace; }
    void process(float** in, float** out, int frames, ProcessMode) override { run(in, out, frames); }

    int parameterCount() const override { return static_cast<int>(parameters_.size()); }
    std::string parameterName(int index) override { return utf8(parameters_[index].title, 128); }
    std::string parameterLabel(int index) override { return utf8(parameters_[index].units, 128); }
    std::string parameterDisplay(int index) override {
        String128 text = {};
        const ParamID id = parameters_[index].id;
        if (controller_->getParamStringByValue(id, controller_->getParamNormalized(id), text) != kResultOk) return "";
        return utf8(text, 128);
    }
    double parameterValue(int index) override { return controller_->getParamNormalized(parameters_[index].id); }
    void setParameter(int index, double value) override {
        controller_->setParamNormalized(parameters_[index].id, value);
        pending_.add(parameters_[index].id, 0, value);
    }
    // The controller at once; the processor at the start of the next block.
    void editParameter(int index, double value) override {
        controller_->setParamNormalized(parameters_[index].id, value);
        publish(index, value);
    }
    bool setParameterText(int index, const std::string& text) override {
        std::vector<char16> wide(text.begin(), text.end());
        wide.push_back(0);
        ParamValue value = 0.0;
        if (controller_->getParamValueByString(parameters_[index].id, wide.data(), value) != kResultOk) return false;
        setParameter(index, value);
        return true;
    }

    int programCount() override {
        ProgramListInfo list{};
        return units_ && units_->getProgramListCount() > 0 && units_->getProgramListInfo(0, list) == kResultOk
                   ? list.programCount
                   : 0;
    }
    std::string programName(int index) override {
        ProgramListInfo list{};
        String128 name = {};
        if (!units_ || units_->getProgramListInfo(0, list) != kResultOk ||
            units_->getProgramName(list.id, index, name) != kResultOk)
            return "";
        return utf8(name, 128);
    }
    void setProgram(int index) override {
        if (programParameter_ >= 0) editParameter(programParameter_, programValue(index));
    }

    bool saveState(std::vector<unsigned char>& bytes, std::string& error) override {
        MemoryStream stream;
        if (component_->getState(&stream) != kResultOk) return fail(error, "the component gave no state");
        bytes = std::move(stream.bytes);
        return true;
    }
    bool loadState(const std::vector<unsigned char>& bytes, std::string& error) override {
        MemoryStream stream(bytes);
        if (component_->setState(&stream) != kResultOk) return fail(error, "the component refused the state");
        stream.position = 0;
        controller_->setComponentState(&stream);
        return true;
    }

    // The view the controller makes for the panel, in the platform's own window type, in a
    // frame of the host's. Under X11 the view idles from the timers and descriptors it
    // registers with the frame's run loop; under Windows from a window timer of its own.
    bool openEditor(void* parent) override {
#if defined(_WIN32)
        const FIDString kPlatformTypeNative = kPlatformTypeHWND;
#else
        const FIDString kPlatformTypeNative = kPlatformTypeX11EmbedWindowID;
#endif
        if (view_) return true;
        view_ = controller_->createView(kEditorViewName);
        if (!view_) return false;
        if (!scaled(view_) || view_->isPlatformTypeSupported(kPlatformTypeNative) != kResultOk ||
            view_->setFrame(&frame_) != kResultOk || view_->attached(parent, kPlatformTypeNative) != kResultOk) {
            view_->setFrame(nullptr);
            release(view_);
            view_ = nullptr;
            return false;
        }
        return true;
    }
    void idleEditor() override {}
    void closeEditor() override {
        if (!view_) return;
        view_->removed();
        view_->setFrame(nullptr);
        release(view_);
        view_ = nullptr;
    }
    bool setEditorScale(double scale) override {
        scale_ = scale;
        IPlugView* view = controller_->createView(kEditorViewName);
        const bool taken = view && scaled(view);
        release(view);
        return taken;
    }
    bool editorRect(EditorRect& rect) override {
        IPlugView* view = controller_->createView(kEditorViewName);
        ViewRect size{};
        const bool sized = view && scaled(view) && view->getSize(&size) == kResultOk;
        release(view);
        if (sized) rect = EditorRect{size.top, size.left, size.bottom, size.right};
        return sized;
    }
    std::vector<EditEvent> edits() override { return edits_.edits(); }

    void automate(int index, int offset, double value) override { pending_.add(parameters_[index].id, offset, value); }
    bool automatable(int index) override {
        return index != programParameter_ && index != bypassParameter_ &&
               (parameters_[index].flags & ParameterInfo::kCanAutomate);
    }
    void automateProgram(int program, int offset) override {
        if (programParameter_ >= 0) pending_.add(parameters_[programParameter_].id, offset, programValue(program));
    }
    bool automateBypass(bool on, int offset) override {
        if (bypassParameter_ < 0) return false;
        pending_.add(parameters_[bypassParameter_].id, offset, on ? 1.0 : 0.0);
        return true;
    }

private:
    // A new view at the scale asked for, before it is sized or attached; unscaled views
    // pass as they are.
    bool scaled(IPlugView* view) {
        if (scale_ == 0.0) return true;
        auto* support = query<IPlugViewContentScaleSupport>(view);
        if (!support) return false;
        const bool taken = support->setContentScaleFactor(static_cast<float>(scale_)) == kResultTrue;
        support->release();
        return taken;
    }

#if defined(_WIN32)
    static constexpr const char* kModuleExit = "ExitDll";
    bool enterModule() {
        auto enter = reinterpret_cast<bool (*)()>(library_.symbol("InitDll"));
        return !enter || enter();
    }
#else
    static constexpr const char* kModuleExit = "ModuleExit";
    bool enterModule() {
        auto enter = reinterpret_cast<bool (*)(void*)>(library_.symbol("ModuleEntry"));
        return !enter || enter(library_.native());
    }
#endif

    static bool fail(std::string& error, const std::string& why) {
        error = why;
        return false;
    }

    bool findEffectClass() {
        for (std::int32_t i = 0; i < factory_->countClasses(); ++i) {
            if (factory_->getClassInfo(i, &classInfo_) == kResultOk &&
                std::strncmp(classInfo_.category, kAudioEffectCategory, sizeof classInfo_.category) == 0) {
                classIndex_ = i;
                return true;
            }
        }
        return false;
    }

    // The component itself when it is its own controller, else the class it names.
    bool findController() {
        controller_ = query<IEditController>(component_);
        if (controller_) return true;
        TUID id = {};
        void* object = nullptr;
        if (component_->getControllerClassId(id) != kResultOk ||
            factory_->createInstance(id, IEditController::iid.bytes, &object) != kResultOk || !object)
            return false;
        controller_ = static_cast<IEditController*>(object);
        separateController_ = true;
        controller_->initialize(nullptr);
        MemoryStream state;
        if (component_->getState(&state) == kResultOk) {
            state.position = 0;
            controller_->setComponentState(&state);
        }
        return true;
    }

    void readParameters() {
        for (std::int32_t i = 0; i < controller_->getParameterCount(); ++i) {
            ParameterInfo info{};
            if (controller_->getParameterInfo(i, info) != kResultOk) continue;
            const int index = static_cast<int>(parameters_.size());
            if (info.flags & ParameterInfo::kIsProgramChange) programParameter_ = index;
            if (info.flags & ParameterInfo::kIsBypass) bypassParameter_ = index;
            parameters_.push_back(info);
        }
        windowEdits_.reset(new WindowEdit[parameters_.size()]);
    }

    int indexOf(ParamID id) const {
        for (std::size_t i = 0; i < parameters_.size(); ++i)
            if (parameters_[i].id == id) return static_cast<int>(i);
        return static_cast<int>(id);
    }

    // From the window thread (an edit at the panel, the host's own), the last value winning.
    void publish(int index, double value) {
        if (index < 0 || index >= parameterCount()) return;
        windowEdits_[index].value.store(value, std::memory_order_relaxed);
        windowEdits_[index].waiting.store(true, std::memory_order_release);
    }
    void takeWindowEdits() {
        for (int i = 0; i < parameterCount(); ++i)
            if (windowEdits_[i].waiting.exchange(false, std::memory_order_acquire))
                pending_.add(parameters_[i].id, 0, windowEdits_[i].value.load(std::memory_order_relaxed));
    }

    double programValue(int program) const {
        const std::int32_t steps = parameters_[programParameter_].stepCount;
        return steps > 0 ? static_cast<double>(program) / steps : 0.0;
    }

    int channels(BusDirection direction) const {
        BusInfo bus{};
        return component_->getBusCount(kAudio, direction) > 0 &&
                       component_->getBusInfo(kAudio, direction, 0, bus) == kResultOk
                   ? bus.channelCount
                   : 0;
    }

    void run(float** in, float** out, int frames) {
        AudioBusBuffers inputs{};
        inputs.numChannels = 2;
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
        takeWindowEdits();
        data.inputParameterChanges = &pending_;
        data.outputParameterChanges = &reported_;
        processor_->process(data);
        pending_.clear();
        reported_.clear();
    }

    PluginLibrary library_;
    bool entered_ = false;
    IPluginFactory* factory_ = nullptr;
    PClassInfo classInfo_{};
    double scale_ = 0.0;  // 0: never set, the view's own
    std::int32_t classIndex_ = 0;
    IComponent* component_ = nullptr;
    IAudioProcessor* processor_ = nullptr;
    IEditController* controller_ = nullptr;
    bool separateController_ = false;
    IUnitInfo* units_ = nullptr;
    IPlugView* view_ = nullptr;
    ViewFrame frame_;
    EditRecorder edits_{[this](ParamID id) { return indexOf(id); },
                        [this](int index, double value) { publish(index, value); }};
    std::vector<ParameterInfo> parameters_;
    int programParameter_ = -1;
    int bypassParameter_ = -1;
    struct WindowEdit {
        std::atomic<double> value{0.0};
        std::atomic<bool> waiting{false};
    };
    std::unique_ptr<WindowEdit[]> windowEdits_;  // one per parameter
    ChangeList pending_;                         // for the next block
    ChangeList reported_;                        // what the plug-in reports back; the host drops it
};

}  // namespace

bool isVst3Path(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || isSeparator(path[i])) {
            if (endsWithVst3(path.substr(start, i - start))) return true;
            start = i + 1;
        }
    }
    return false;
}

// A bundle folder names its module by its own name, under the platform's architecture.
std::string vst3ModuleFile(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && isSeparator(folder.back())) folder.pop_back();
    if (!endsWithVst3(folder) || !isFolder(folder)) return path;
    std::size_t nameStart = folder.find_last_of("/\\");
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    const std::string name = folder.substr(nameStart, folder.size() - nameStart - 5);
    return folder + "/Contents/" + kArchitecture + "/" + name + kModuleSuffix;
}

std::unique_ptr<Instance> openVst3(const std::string& path, std::string& error) {
    auto instance = std::make_unique<Vst3Instance>();
    if (!instance->load(path, error)) return nullptr;
    return instance;
}

}  // namespace vsthost
