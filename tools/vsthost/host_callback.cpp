#include "tools/vsthost/host_callback.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>

namespace vsthost {
namespace {

constexpr VstIntPtr kHostVersion = 2400;
// The longest text the interface lets a host write into the plug-in's buffer, terminator
// included.
constexpr std::size_t kMaxHostText = 64;
constexpr const char* kVendor = "Hallmere";
constexpr const char* kProduct = "vsthost";
// Anything longer than this in a capability query is not a capability name.
constexpr std::size_t kMaxCapabilityText = 256;

void copyText(void* ptr, const char* text) {
    if (!ptr) {
        return;
    }
    std::size_t length = std::min(std::strlen(text), kMaxHostText - 1);
    std::memcpy(ptr, text, length);
    static_cast<char*>(ptr)[length] = '\0';
}

}  // namespace

HostState& HostState::instance() {
    static HostState state;
    return state;
}

void HostState::setSampleRate(double rate) {
    std::lock_guard<std::mutex> guard(lock);
    sampleRate = rate;
}

void HostState::setBlockSize(VstInt32 size) {
    std::lock_guard<std::mutex> guard(lock);
    blockSize = size;
}

void HostState::setCurrentId(VstInt32 id) {
    std::lock_guard<std::mutex> guard(lock);
    currentId = id;
}

void HostState::record(CallbackEvent event) {
    std::lock_guard<std::mutex> guard(lock);
    ++perOpcode[event.opcode];
    received.push_back(std::move(event));
}

VstIntPtr HostState::answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    CallbackEvent event{opcode, index, value, opt, {}};
    if (opcode == audioMasterCanDo && ptr) {
        const char* text = static_cast<const char*>(ptr);
        event.text.assign(text, strnlen(text, kMaxCapabilityText));
    }
    bool supported = opcode == audioMasterCanDo && hostSupports(event.text);
    record(event);

    switch (opcode) {
    case audioMasterVersion: return kHostVersion;
    case audioMasterCurrentId: {
        std::lock_guard<std::mutex> guard(lock);
        return currentId;
    }
    case audioMasterGetSampleRate: {
        std::lock_guard<std::mutex> guard(lock);
        return static_cast<VstIntPtr>(sampleRate);
    }
    case audioMasterGetBlockSize: {
        std::lock_guard<std::mutex> guard(lock);
        return blockSize;
    }
    case audioMasterCanDo: return supported ? 1 : 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit: return 1;  // edits are welcome; they are in the record
    case audioMasterGetVendorString: copyText(ptr, kVendor); return ptr ? 1 : 0;
    case audioMasterGetProductString: copyText(ptr, kProduct); return ptr ? 1 : 0;
    default: return 0;
    }
}

std::vector<CallbackEvent> HostState::events() const {
    std::lock_guard<std::mutex> guard(lock);
    return received;
}

std::map<VstInt32, long> HostState::counts() const {
    std::lock_guard<std::mutex> guard(lock);
    return perOpcode;
}

void HostState::printTrace(std::FILE* out) const {
    std::vector<CallbackEvent> list = events();
    std::map<VstInt32, long> perName = counts();
    for (const CallbackEvent& event : list) {
        std::fprintf(out, "callback: %s index=%" PRId32 " value=%" PRIdPTR " opt=%g",
                     hostOpcodeName(event.opcode).c_str(), event.index, event.value, static_cast<double>(event.opt));
        if (event.opcode == audioMasterCanDo) {
            std::fprintf(out, " text=\"%s\"", event.text.c_str());
        }
        std::fprintf(out, "\n");
    }
    for (const auto& [opcode, count] : perName) {
        std::fprintf(out, "callback-count: %s %ld\n", hostOpcodeName(opcode).c_str(), count);
    }
    std::fprintf(out, "callback-total: %zu\n", list.size());
}

VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    return HostState::instance().answer(effect, opcode, index, value, ptr, opt);
}

bool hostSupports(const std::string& capability) {
    static const char* const kSupported[] = {"startStopProcess", "reportConnectionChanges"};
    for (const char* name : kSupported) {
        if (capability == name) {
            return true;
        }
    }
    return false;
}

std::string hostOpcodeName(VstInt32 opcode) {
    switch (opcode) {
    case audioMasterAutomate: return "audioMasterAutomate";
    case audioMasterVersion: return "audioMasterVersion";
    case audioMasterCurrentId: return "audioMasterCurrentId";
    case audioMasterIdle: return "audioMasterIdle";
    case audioMasterPinConnected: return "audioMasterPinConnected";
    case audioMasterWantMidi: return "audioMasterWantMidi";
    case audioMasterGetTime: return "audioMasterGetTime";
    case audioMasterTempoAt: return "audioMasterTempoAt";
    case audioMasterGetNumAutomatableParameters: return "audioMasterGetNumAutomatableParameters";
    case audioMasterGetParameterQuantization: return "audioMasterGetParameterQuantization";
    case audioMasterIOChanged: return "audioMasterIOChanged";
    case audioMasterNeedIdle: return "audioMasterNeedIdle";
    case audioMasterSizeWindow: return "audioMasterSizeWindow";
    case audioMasterGetSampleRate: return "audioMasterGetSampleRate";
    case audioMasterGetBlockSize: return "audioMasterGetBlockSize";
    case audioMasterGetInputLatency: return "audioMasterGetInputLatency";
    case audioMasterGetOutputLatency: return "audioMasterGetOutputLatency";
    case audioMasterGetPreviousPlug: return "audioMasterGetPreviousPlug";
    case audioMasterGetNextPlug: return "audioMasterGetNextPlug";
    case audioMasterWillReplaceOrAccumulate: return "audioMasterWillReplaceOrAccumulate";
    case audioMasterGetCurrentProcessLevel: return "audioMasterGetCurrentProcessLevel";
    case audioMasterGetAutomationState: return "audioMasterGetAutomationState";
    case audioMasterOfflineStart: return "audioMasterOfflineStart";
    case audioMasterOfflineRead: return "audioMasterOfflineRead";
    case audioMasterOfflineWrite: return "audioMasterOfflineWrite";
    case audioMasterOfflineGetCurrentPass: return "audioMasterOfflineGetCurrentPass";
    case audioMasterOfflineGetCurrentMetaPass: return "audioMasterOfflineGetCurrentMetaPass";
    case audioMasterSetOutputSampleRate: return "audioMasterSetOutputSampleRate";
    case audioMasterGetOutputSpeakerArrangement: return "audioMasterGetOutputSpeakerArrangement";
    case audioMasterGetVendorString: return "audioMasterGetVendorString";
    case audioMasterGetProductString: return "audioMasterGetProductString";
    case audioMasterGetVendorVersion: return "audioMasterGetVendorVersion";
    case audioMasterVendorSpecific: return "audioMasterVendorSpecific";
    case audioMasterCanDo: return "audioMasterCanDo";
    case audioMasterGetLanguage: return "audioMasterGetLanguage";
    case audioMasterOpenWindow: return "audioMasterOpenWindow";
    case audioMasterCloseWindow: return "audioMasterCloseWindow";
    case audioMasterGetDirectory: return "audioMasterGetDirectory";
    case audioMasterUpdateDisplay: return "audioMasterUpdateDisplay";
    case audioMasterBeginEdit: return "audioMasterBeginEdit";
    case audioMasterEndEdit: return "audioMasterEndEdit";
    case audioMasterOpenFileSelector: return "audioMasterOpenFileSelector";
    case audioMasterGetInputSpeakerArrangement: return "audioMasterGetInputSpeakerArrangement";
    default: return "opcode" + std::to_string(opcode);
    }
}

}  // namespace vsthost
