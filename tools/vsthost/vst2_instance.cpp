// The VST 2.x loader: the plug-in's record and dispatcher behind the format-neutral instance.
#include "tools/vsthost/host_callback.h"
#include "tools/vsthost/loaders.h"
#include "tools/vsthost/plugin.h"
#include "tools/vsthost/text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vsthost {
namespace {

// Beyond this many parameters or programs the listing stops; a record claiming more is
// more likely broken than big.
constexpr VstInt32 kMaxListed = 4096;

const char* const kCapabilities[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "receiveVstTimeInfo", "offline", "plugAsChannelInsert",
    "plugAsSend",       "mixDryWet",           "noRealTime",         "1in2out", "2in2out",
    "bypass",
};

struct FlagName {
    VstInt32 bit;
    const char* name;
};

const FlagName kFlags[] = {
    {effFlagsHasEditor, "HasEditor"},
    {effFlagsHasClip, "HasClip"},
    {effFlagsHasVu, "HasVu"},
    {effFlagsCanMono, "CanMono"},
    {effFlagsCanReplacing, "CanReplacing"},
    {effFlagsProgramChunks, "ProgramChunks"},
    {effFlagsIsSynth, "IsSynth"},
    {effFlagsNoSoundInStop, "NoSoundInStop"},
    {effFlagsExtIsAsync, "ExtIsAsync"},
    {effFlagsExtHasBuffer, "ExtHasBuffer"},
};

std::string flagNames(VstInt32 flags) {
    std::string names;
    VstInt32 known = 0;
    for (const FlagName& flag : kFlags) {
        known |= flag.bit;
        if (flags & flag.bit) {
            names += names.empty() ? "" : " ";
            names += flag.name;
        }
    }
    if (flags & ~known) {
        char rest[32];
        std::snprintf(rest, sizeof rest, "0x%X", static_cast<unsigned>(flags & ~known));
        names += names.empty() ? "" : " ";
        names += rest;
    }
    return names.empty() ? "none" : names;
}

std::string number(long n) { return std::to_string(n); }

// Without chunks the state is what a host keeps of such a plug-in: the program and the values.
struct ValueRecord {
    std::int32_t program;
    std::int32_t count;
};

class Vst2Instance final : public Instance {
public:
    bool load(const std::string& path, std::string& error) {
        if (!plugin_.load(path, error)) return false;
        plugin_.dispatch(effOpen);
        effect_ = plugin_.record();
        return true;
    }

    const char* format() const override { return "vst2"; }

    InfoLines identity() override {
        char text[64];
        std::snprintf(text, sizeof text, " 0x%08X", static_cast<unsigned>(effect_->uniqueID));
        const std::string flags = [&] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08X ", static_cast<unsigned>(effect_->flags));
            return hex + flagNames(effect_->flags);
        }();
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%g", static_cast<double>(effect_->ioRatio));
        return {
            {"name", quoted(plugin_.text(effGetEffectName))},
            {"vendor", quoted(plugin_.text(effGetVendorString))},
            {"product", quoted(plugin_.text(effGetProductString))},
            {"vendorVersion", number(static_cast<long>(plugin_.dispatch(effGetVendorVersion)))},
            {"vstVersion", number(static_cast<long>(plugin_.dispatch(effGetVstVersion)))},
            {"category", number(static_cast<long>(plugin_.dispatch(effGetPlugCategory)))},
            {"uniqueID", fourCharText(effect_->uniqueID) + text},
            {"version", number(effect_->version)},
            {"numPrograms", number(effect_->numPrograms)},
            {"numParams", number(effect_->numParams)},
            {"numInputs", number(effect_->numInputs)},
            {"numOutputs", number(effect_->numOutputs)},
            {"flags", flags},
            {"initialDelay", number(effect_->initialDelay)},
            {"ioRatio", ratio},
            {"currentProgram", number(static_cast<long>(plugin_.dispatch(effGetProgram)))},
        };
    }

    InfoLines capabilities() override {
        InfoLines lines;
        for (const char* capability : kCapabilities)
            lines.emplace_back(
                std::string("canDo.") + capability,
                number(static_cast<long>(plugin_.dispatch(effCanDo, 0, 0, const_cast<char*>(capability)))));
        if (!(effect_->flags & effFlagsHasEditor)) {
            lines.emplace_back("editor", "none");
            return lines;
        }
        ERect* rect = nullptr;
        const VstIntPtr answer = plugin_.dispatch(effEditGetRect, 0, 0, &rect);
        if (!rect) {
            lines.emplace_back("editor", "no size (answer " + number(static_cast<long>(answer)) + ")");
            return lines;
        }
        lines.emplace_back("editor", number(rect->right - rect->left) + "x" + number(rect->bottom - rect->top));
        lines.emplace_back("editor.rect", "top=" + number(rect->top) + " left=" + number(rect->left) +
                                              " bottom=" + number(rect->bottom) + " right=" + number(rect->right));
        return lines;
    }

    int inputs() const override { return plugin_.numInputs(); }
    int outputs() const override { return plugin_.numOutputs(); }

    void activate(double rate, int maxBlock) override {
        HostState::instance().setSampleRate(rate);
        HostState::instance().setBlockSize(maxBlock);
        plugin_.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        plugin_.dispatch(effSetBlockSize, 0, maxBlock);
        if (!connected_) {
            for (VstInt32 i = 0; i < plugin_.numInputs(); ++i) plugin_.dispatch(effConnectInput, i, 1);
            for (VstInt32 i = 0; i < plugin_.numOutputs(); ++i) plugin_.dispatch(effConnectOutput, i, 1);
            connected_ = true;
        }
        plugin_.dispatch(effMainsChanged, 0, 1);
    }
    void deactivate() override { plugin_.dispatch(effMainsChanged, 0, 0); }
    void startProcessing() override { plugin_.dispatch(effStartProcess); }
    void stopProcessing() override { plugin_.dispatch(effStopProcess); }

    bool canProcess(ProcessMode mode) const override {
        return mode == ProcessMode::Accumulate ? effect_->process != nullptr
                                               : (effect_->flags & effFlagsCanReplacing) && effect_->processReplacing;
    }
    void process(float** in, float** out, int frames, ProcessMode mode) override {
        (mode == ProcessMode::Accumulate ? effect_->process : effect_->processReplacing)(effect_, in, out, frames);
    }

    int parameterCount() const override { return std::min(plugin_.numParams(), kMaxListed); }
    std::string parameterName(int index) override { return plugin_.text(effGetParamName, index); }
    std::string parameterLabel(int index) override { return plugin_.text(effGetParamLabel, index); }
    std::string parameterDisplay(int index) override { return plugin_.text(effGetParamDisplay, index); }
    double parameterValue(int index) override { return plugin_.getParameter(index); }
    void setParameter(int index, double value) override { plugin_.setParameter(index, static_cast<float>(value)); }
    bool setParameterText(int index, const std::string& text) override {
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        return plugin_.dispatch(effString2Parameter, index, 0, buffer.data()) != 0;
    }

    int programCount() override { return std::min(plugin_.numPrograms(), kMaxListed); }
    std::string programName(int index) override { return plugin_.text(effGetProgramNameIndexed, index); }
    void setProgram(int index) override { plugin_.dispatch(effSetProgram, 0, index); }

    bool saveState(std::vector<unsigned char>& bytes, std::string& error) override {
        if (effect_->flags & effFlagsProgramChunks) {
            void* chunk = nullptr;
            const VstIntPtr size = plugin_.dispatch(effGetChunk, 0, 0, &chunk);
            if (!chunk || size <= 0) {
                error = "the plug-in gave no chunk";
                return false;
            }
            const auto* from = static_cast<const unsigned char*>(chunk);
            bytes.assign(from, from + size);
            return true;
        }
        const ValueRecord record{static_cast<std::int32_t>(plugin_.dispatch(effGetProgram)), parameterCount()};
        bytes.resize(sizeof record + sizeof(float) * record.count);
        std::memcpy(bytes.data(), &record, sizeof record);
        for (int i = 0; i < record.count; ++i) {
            const float value = plugin_.getParameter(i);
            std::memcpy(bytes.data() + sizeof record + sizeof(float) * i, &value, sizeof value);
        }
        return true;
    }

    bool loadState(const std::vector<unsigned char>& bytes, std::string& error) override {
        if (effect_->flags & effFlagsProgramChunks) {
            std::vector<unsigned char> chunk(bytes);
            return plugin_.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(chunk.size()), chunk.data()) != 0 ||
                   (error = "the plug-in refused the chunk", false);
        }
        ValueRecord record{};
        if (bytes.size() >= sizeof record) std::memcpy(&record, bytes.data(), sizeof record);
        if (bytes.size() < sizeof record || record.count != parameterCount() ||
            bytes.size() != sizeof record + sizeof(float) * record.count) {
            error = "the state is not one of this plug-in's";
            return false;
        }
        setProgram(record.program);
        for (int i = 0; i < record.count; ++i) {
            float value;
            std::memcpy(&value, bytes.data() + sizeof record + sizeof(float) * i, sizeof value);
            plugin_.setParameter(i, value);
        }
        return true;
    }

    bool openEditor(void* parent) override {
        if (!(effect_->flags & effFlagsHasEditor)) return false;
        ERect* rect = nullptr;  // hosts ask for the size first, to make the window
        plugin_.dispatch(effEditGetRect, 0, 0, &rect);
        plugin_.dispatch(effEditOpen, 0, 0, parent);
        return true;
    }
    void idleEditor() override { plugin_.dispatch(effEditIdle); }
    void closeEditor() override { plugin_.dispatch(effEditClose); }
    bool editorRect(EditorRect& rect) override {
        ERect* got = nullptr;
        if (!(effect_->flags & effFlagsHasEditor)) return false;
        plugin_.dispatch(effEditGetRect, 0, 0, &got);
        if (!got) return false;
        rect = EditorRect{got->top, got->left, got->bottom, got->right};
        return true;
    }
    // The host callback records every call of every plug-in in the process.
    std::vector<EditEvent> edits() override {
        std::vector<EditEvent> found;
        for (const CallbackEvent& e : HostState::instance().events()) {
            if (e.opcode == audioMasterBeginEdit) found.push_back({"begin", e.index, 0.0});
            if (e.opcode == audioMasterEndEdit) found.push_back({"end", e.index, 0.0});
            if (e.opcode == audioMasterAutomate) found.push_back({"automate", e.index, e.opt});
        }
        return found;
    }
    bool editorKey(int key, int character, long& down, long& up) override {
        down = static_cast<long>(plugin_.dispatch(effEditKeyDown, character, key, nullptr, 0.0f));
        up = static_cast<long>(plugin_.dispatch(effEditKeyUp, character, key, nullptr, 0.0f));
        return true;
    }

    void automate(int index, int, double value) override {
        plugin_.setParameter(index, static_cast<float>(value));
        (void)plugin_.getParameter(index);
    }
    void automateProgram(int program, int) override {
        effect_->dispatcher(effect_, effSetProgram, 0, program, nullptr, 0.0f);
    }
    bool automateBypass(bool, int) override { return false; }
    void changeRateCarelessly(double rate, int) override {
        plugin_.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    }
    void readMeter() override { effect_->dispatcher(effect_, effGetVu, 0, 0, nullptr, 0.0f); }

private:
    Plugin plugin_;
    AEffect* effect_ = nullptr;
    bool connected_ = false;
};

}  // namespace

std::unique_ptr<Instance> openVst2(const std::string& path, std::string& error) {
    auto instance = std::make_unique<Vst2Instance>();
    if (!instance->load(path, error)) return nullptr;
    return instance;
}

}  // namespace vsthost
