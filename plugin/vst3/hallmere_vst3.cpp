// The plug-in object's identity, buses, parameters and program list; the audio and the
// state are in hallmere_vst3_process.cpp.
#include "plugin/vst3/hallmere_vst3.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "effect/parameter_text.h"
#include "plugin/vst3/hallmere_vst3_view.h"
#include "plugin/vst3/vst3_identity.h"
#include "plugin/vst3/vst3_text.h"

namespace vst3 {

namespace {

bool isTableId(ParamID id) { return id < static_cast<ParamID>(kParameterCount); }

double heldToUnit(double value) { return std::fmin(std::fmax(value, 0.0), 1.0); }  // NaN gives 0

// A list of n + 1 entries over 0..1, as hosts step through it.
int entryOf(double normalized, int steps) {
    const double entry = std::floor(heldToUnit(normalized) * (steps + 1));
    return entry < steps ? static_cast<int>(entry) : steps;
}

std::string trimmedName(const char* name) {
    std::string s(name);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string lowered(std::string s) {
    for (char& c : s) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
}

}  // namespace

HallmereVst3::HallmereVst3() = default;

HallmereVst3::~HallmereVst3() {
    if (handler_) handler_->release();
}

tresult HallmereVst3::queryInterface(const TUID iid, void** object) {
    if (object == nullptr) return kInvalidArgument;
    void* found = nullptr;
    if (FUnknown::iid == iid || IPluginBase::iid == iid || IComponent::iid == iid)
        found = static_cast<IComponent*>(this);
    else if (IAudioProcessor::iid == iid)
        found = static_cast<IAudioProcessor*>(this);
    else if (IEditController::iid == iid)
        found = static_cast<IEditController*>(this);
    else if (IUnitInfo::iid == iid)
        found = static_cast<IUnitInfo*>(this);
    else if (IProcessContextRequirements::iid == iid)
        found = static_cast<IProcessContextRequirements*>(this);
    *object = found;
    if (found == nullptr) return kNoInterface;
    addRef();
    return kResultOk;
}

std::uint32_t HallmereVst3::addRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t HallmereVst3::release() {
    const std::uint32_t left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

// Everything is ready from construction on; a host that initializes the one object once as
// component and once as controller gets the same answer twice.
tresult HallmereVst3::initialize(FUnknown*) { return kResultOk; }

tresult HallmereVst3::terminate() { return setComponentHandler(nullptr); }

tresult HallmereVst3::getControllerClassId(TUID) { return kResultFalse; }

tresult HallmereVst3::setIoMode(std::int32_t) { return kResultOk; }

std::int32_t HallmereVst3::getBusCount(MediaType type, BusDirection direction) {
    return type == kAudio && (direction == kInput || direction == kOutput) ? 1 : 0;
}

tresult HallmereVst3::getBusInfo(MediaType type, BusDirection direction, std::int32_t index, BusInfo& bus) {
    if (type != kAudio || index != 0 || (direction != kInput && direction != kOutput)) return kInvalidArgument;
    bus.mediaType = kAudio;
    bus.direction = direction;
    bus.channelCount = direction == kInput && inputArrangement_ == kSpeakerMono ? 1 : 2;
    copyText(bus.name, direction == kInput ? "Input" : "Output");
    bus.busType = kMain;
    bus.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult HallmereVst3::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult HallmereVst3::activateBus(MediaType type, BusDirection direction, std::int32_t index, TBool) {
    return type == kAudio && index == 0 && (direction == kInput || direction == kOutput) ? kResultOk
                                                                                         : kInvalidArgument;
}

tresult HallmereVst3::setActive(TBool state) {
    if (state) core_.resume();
    return kResultOk;
}

std::int32_t HallmereVst3::getParameterCount() { return vst3id::kParameterListSize; }

tresult HallmereVst3::getParameterInfo(std::int32_t index, ParameterInfo& info) {
    if (index < 0 || index >= vst3id::kParameterListSize) return kInvalidArgument;
    info.unitId = kRootUnitId;
    info.flags = ParameterInfo::kCanAutomate;
    if (index < kParameterCount) {
        info.id = static_cast<ParamID>(index);
        copyText(info.title, parameterTitle(index).c_str());
        copyText(info.shortTitle, parameterTitle(index).c_str());
        copyText(info.units, parameterUnit(index).c_str());
        info.stepCount = isSwitchParameter(index) ? 1 : 0;
        info.defaultNormalizedValue = factoryPrograms[0].values[index];
    } else if (index == kParameterCount) {
        info.id = vst3id::kProgramId;
        copyText(info.title, "Program");
        copyText(info.shortTitle, "Program");
        copyText(info.units, "");
        info.stepCount = vst3id::kProgramSteps;
        info.defaultNormalizedValue = 0.0;
        info.flags |= ParameterInfo::kIsList | ParameterInfo::kIsProgramChange;
    } else {
        info.id = vst3id::kBypassId;
        copyText(info.title, "Bypass");
        copyText(info.shortTitle, "Bypass");
        copyText(info.units, "");
        info.stepCount = 1;
        info.defaultNormalizedValue = 0.0;
        info.flags |= ParameterInfo::kIsBypass;
    }
    return kResultOk;
}

tresult HallmereVst3::getParamStringByValue(ParamID id, ParamValue normalized, String128 text) {
    if (text == nullptr) return kInvalidArgument;
    char shown[128];
    if (isTableId(id))
        formatParameterText(static_cast<int>(id), static_cast<float>(heldToUnit(normalized)), shown, sizeof shown);
    else if (id == vst3id::kProgramId)
        std::snprintf(shown, sizeof shown, "%s",
                      trimmedName(core_.programAt(entryOf(normalized, vst3id::kProgramSteps)).name).c_str());
    else if (id == vst3id::kBypassId)
        std::snprintf(shown, sizeof shown, "%s", entryOf(normalized, 1) ? "on" : "off");
    else
        return kInvalidArgument;
    copyText(text, 128, shown);
    return kResultOk;
}

tresult HallmereVst3::getParamValueByString(ParamID id, char16* text, ParamValue& normalized) {
    std::string typed;
    if (!asciiOf(text, typed)) return kResultFalse;
    if (isTableId(id)) {
        float value;
        if (!parseParameterText(static_cast<int>(id), typed.c_str(), value)) return kResultFalse;
        normalized = value;
        return kResultOk;
    }
    if (id == vst3id::kBypassId) {
        bool on;
        if (!parseSwitchText(typed.c_str(), on)) return kResultFalse;
        normalized = on ? 1.0 : 0.0;
        return kResultOk;
    }
    if (id == vst3id::kProgramId) {
        const std::string wanted = lowered(trimmedName(typed.c_str()));
        for (int p = 0; p < kProgramCount; ++p) {
            if (lowered(trimmedName(core_.programAt(p).name)) == wanted) {
                normalized = static_cast<double>(p) / vst3id::kProgramSteps;
                return kResultOk;
            }
        }
        return kResultFalse;
    }
    return kInvalidArgument;
}

ParamValue HallmereVst3::normalizedParamToPlain(ParamID id, ParamValue normalized) {
    if (isTableId(id)) return physicalValue(id, static_cast<float>(heldToUnit(normalized)));
    if (id == vst3id::kProgramId) return entryOf(normalized, vst3id::kProgramSteps);
    if (id == vst3id::kBypassId) return entryOf(normalized, 1);
    return 0.0;
}

ParamValue HallmereVst3::plainParamToNormalized(ParamID id, ParamValue plain) {
    if (isTableId(id)) return parameterTable[id].range.normalise(plain);
    if (id == vst3id::kProgramId)
        return std::fmin(std::fmax(std::round(plain), 0.0), vst3id::kProgramSteps) / vst3id::kProgramSteps;
    if (id == vst3id::kBypassId) return plain >= 0.5 ? 1.0 : 0.0;
    return 0.0;
}

ParamValue HallmereVst3::getParamNormalized(ParamID id) {
    if (isTableId(id)) return core_.getParameter(static_cast<int>(id));
    if (id == vst3id::kProgramId) return static_cast<double>(core_.program()) / vst3id::kProgramSteps;
    if (id == vst3id::kBypassId) return bypassed_.load(std::memory_order_relaxed) ? 1.0 : 0.0;
    return 0.0;
}

// The host's controller call sets the value the processor renders with, at once; the same
// value arriving again in process changes nothing. A new program changes the other values,
// which the host is told to read again (this call comes on the host's controller thread).
tresult HallmereVst3::setParamNormalized(ParamID id, ParamValue normalized) {
    if (!isTableId(id) && id != vst3id::kProgramId && id != vst3id::kBypassId) return kInvalidArgument;
    if (std::isnan(normalized)) return kInvalidArgument;
    const int programBefore = core_.program();
    setValue(id, normalized);
    if (core_.program() != programBefore && handler_) handler_->restartComponent(kParamValuesChanged);
    return kResultOk;
}

void HallmereVst3::setValue(ParamID id, ParamValue normalized) {
    if (std::isnan(normalized)) return;
    if (isTableId(id)) {
        core_.setParameter(static_cast<int>(id), static_cast<float>(heldToUnit(normalized)));
    } else if (id == vst3id::kProgramId) {
        const int program = entryOf(normalized, vst3id::kProgramSteps);
        if (program != core_.program()) core_.setProgram(program);
    } else if (id == vst3id::kBypassId) {
        bypassed_.store(entryOf(normalized, 1) == 1, std::memory_order_relaxed);
    }
}

tresult HallmereVst3::setComponentHandler(IComponentHandler* handler) {
    if (handler == handler_) return kResultOk;
    if (handler) handler->addRef();
    if (handler_) handler_->release();
    handler_ = handler;
    return kResultOk;
}

IPlugView* HallmereVst3::createView(FIDString name) {
    if (name == nullptr || std::strcmp(name, kEditorViewName) != 0) return nullptr;
    try {
        return new HallmereView(*this);
    } catch (...) {
        return nullptr;  // the panel's artwork could not be allocated
    }
}

std::int32_t HallmereVst3::getUnitCount() { return 1; }

tresult HallmereVst3::getUnitInfo(std::int32_t index, UnitInfo& info) {
    if (index != 0) return kInvalidArgument;
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    copyText(info.name, vst3id::kName);
    info.programListId = vst3id::kProgramListId;
    return kResultOk;
}

std::int32_t HallmereVst3::getProgramListCount() { return 1; }

tresult HallmereVst3::getProgramListInfo(std::int32_t index, ProgramListInfo& info) {
    if (index != 0) return kInvalidArgument;
    info.id = vst3id::kProgramListId;
    copyText(info.name, "Programs");
    info.programCount = kProgramCount;
    return kResultOk;
}

tresult HallmereVst3::getProgramName(ProgramListID list, std::int32_t program, String128 name) {
    if (list != vst3id::kProgramListId || program < 0 || program >= kProgramCount || name == nullptr)
        return kInvalidArgument;
    copyText(name, 128, trimmedName(core_.programAt(program).name).c_str());
    return kResultOk;
}

tresult HallmereVst3::getProgramInfo(ProgramListID, std::int32_t, const char*, String128) { return kResultFalse; }
tresult HallmereVst3::hasProgramPitchNames(ProgramListID, std::int32_t) { return kResultFalse; }
tresult HallmereVst3::getProgramPitchName(ProgramListID, std::int32_t, std::int16_t, String128) {
    return kResultFalse;
}
UnitID HallmereVst3::getSelectedUnit() { return kRootUnitId; }
tresult HallmereVst3::selectUnit(UnitID id) { return id == kRootUnitId ? kResultOk : kInvalidArgument; }
tresult HallmereVst3::getUnitByBus(MediaType, BusDirection, std::int32_t, std::int32_t, UnitID& unit) {
    unit = kRootUnitId;
    return kResultOk;
}
tresult HallmereVst3::setUnitProgramData(std::int32_t, std::int32_t, IBStream*) { return kNotImplemented; }

}  // namespace vst3
