// The VST 3 binary interface of an audio effect: component, audio processor, edit
// controller, parameter changes and the program list. Written from the published interface
// facts; only what Hallmere uses.
#pragma once

#include "plugin/vst3/vst3_base.h"

#include "plugin/vst3/vst3_pack_begin.h"

namespace vst3 {

using MediaType = std::int32_t;
using BusDirection = std::int32_t;
using ParamID = std::uint32_t;
using ParamValue = double;
using UnitID = std::int32_t;
using ProgramListID = std::int32_t;
using SpeakerArrangement = std::uint64_t;

enum MediaTypes : MediaType { kAudio = 0, kEvent };
enum BusDirections : BusDirection { kInput = 0, kOutput };
enum BusTypes : std::int32_t { kMain = 0, kAux };
enum SymbolicSampleSizes : std::int32_t { kSample32 = 0, kSample64 };

constexpr SpeakerArrangement kSpeakerMono = 1u << 19;
constexpr SpeakerArrangement kSpeakerStereo = (1u << 0) | (1u << 1);  // left, right

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;

constexpr const char* kAudioEffectCategory = "Audio Module Class";

struct BusInfo {
    enum Flags : std::uint32_t { kDefaultActive = 1 << 0 };
    MediaType mediaType;
    BusDirection direction;
    std::int32_t channelCount;
    String128 name;
    std::int32_t busType;
    std::uint32_t flags;
};

struct RoutingInfo {
    MediaType mediaType;
    std::int32_t busIndex;
    std::int32_t channel;
};

class IComponent : public IPluginBase {
public:
    static constexpr Uid iid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);
    virtual tresult VST3_CALL getControllerClassId(TUID classId) = 0;
    virtual tresult VST3_CALL setIoMode(std::int32_t mode) = 0;
    virtual std::int32_t VST3_CALL getBusCount(MediaType type, BusDirection direction) = 0;
    virtual tresult VST3_CALL getBusInfo(MediaType type, BusDirection direction, std::int32_t index, BusInfo& bus) = 0;
    virtual tresult VST3_CALL getRoutingInfo(RoutingInfo& in, RoutingInfo& out) = 0;
    virtual tresult VST3_CALL activateBus(MediaType type, BusDirection direction, std::int32_t index,
                                          TBool state) = 0;
    virtual tresult VST3_CALL setActive(TBool state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
};

class IParamValueQueue : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);
    virtual ParamID VST3_CALL getParameterId() = 0;
    virtual std::int32_t VST3_CALL getPointCount() = 0;
    virtual tresult VST3_CALL getPoint(std::int32_t index, std::int32_t& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_CALL addPoint(std::int32_t sampleOffset, ParamValue value, std::int32_t& index) = 0;
};

class IParameterChanges : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);
    virtual std::int32_t VST3_CALL getParameterCount() = 0;
    virtual IParamValueQueue* VST3_CALL getParameterData(std::int32_t index) = 0;
    virtual IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, std::int32_t& index) = 0;
};

struct ProcessSetup {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    std::int32_t numChannels;
    std::uint64_t silenceFlags;
    union {
        float** channelBuffers32;
        double** channelBuffers64;
    };
};

struct ProcessData {
    std::int32_t processMode;
    std::int32_t symbolicSampleSize;
    std::int32_t numSamples;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    void* inputEvents;     // event lists: not used
    void* outputEvents;
    void* processContext;  // transport: not used
};

class IAudioProcessor : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);
    virtual tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, std::int32_t inputCount,
                                                 SpeakerArrangement* outputs, std::int32_t outputCount) = 0;
    virtual tresult VST3_CALL getBusArrangement(BusDirection direction, std::int32_t index,
                                                SpeakerArrangement& arrangement) = 0;
    virtual tresult VST3_CALL canProcessSampleSize(std::int32_t symbolicSampleSize) = 0;
    virtual std::uint32_t VST3_CALL getLatencySamples() = 0;
    virtual tresult VST3_CALL setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_CALL setProcessing(TBool state) = 0;
    virtual tresult VST3_CALL process(ProcessData& data) = 0;
    virtual std::uint32_t VST3_CALL getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);
    virtual std::uint32_t VST3_CALL getProcessContextRequirements() = 0;
};

struct ParameterInfo {
    enum Flags : std::int32_t {
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsList = 1 << 3,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    std::int32_t stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    std::int32_t flags;
};

enum RestartFlags : std::int32_t { kParamValuesChanged = 1 << 2 };

class IComponentHandler : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
    virtual tresult VST3_CALL beginEdit(ParamID id) = 0;
    virtual tresult VST3_CALL performEdit(ParamID id, ParamValue normalized) = 0;
    virtual tresult VST3_CALL endEdit(ParamID id) = 0;
    virtual tresult VST3_CALL restartComponent(std::int32_t flags) = 0;
};

class IPlugView;  // vst3_view.h

class IEditController : public IPluginBase {
public:
    static constexpr Uid iid = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
    virtual tresult VST3_CALL setComponentState(IBStream* state) = 0;
    virtual tresult VST3_CALL setState(IBStream* state) = 0;
    virtual tresult VST3_CALL getState(IBStream* state) = 0;
    virtual std::int32_t VST3_CALL getParameterCount() = 0;
    virtual tresult VST3_CALL getParameterInfo(std::int32_t index, ParameterInfo& info) = 0;
    virtual tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue normalized, String128 text) = 0;
    virtual tresult VST3_CALL getParamValueByString(ParamID id, char16* text, ParamValue& normalized) = 0;
    virtual ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue normalized) = 0;
    virtual ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plain) = 0;
    virtual ParamValue VST3_CALL getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_CALL setParamNormalized(ParamID id, ParamValue normalized) = 0;
    virtual tresult VST3_CALL setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3_CALL createView(FIDString name) = 0;
};

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    std::int32_t programCount;
};

class IUnitInfo : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
    virtual std::int32_t VST3_CALL getUnitCount() = 0;
    virtual tresult VST3_CALL getUnitInfo(std::int32_t index, UnitInfo& info) = 0;
    virtual std::int32_t VST3_CALL getProgramListCount() = 0;
    virtual tresult VST3_CALL getProgramListInfo(std::int32_t index, ProgramListInfo& info) = 0;
    virtual tresult VST3_CALL getProgramName(ProgramListID list, std::int32_t program, String128 name) = 0;
    virtual tresult VST3_CALL getProgramInfo(ProgramListID list, std::int32_t program, const char* attribute,
                                             String128 value) = 0;
    virtual tresult VST3_CALL hasProgramPitchNames(ProgramListID list, std::int32_t program) = 0;
    virtual tresult VST3_CALL getProgramPitchName(ProgramListID list, std::int32_t program, std::int16_t pitch,
                                                  String128 name) = 0;
    virtual UnitID VST3_CALL getSelectedUnit() = 0;
    virtual tresult VST3_CALL selectUnit(UnitID id) = 0;
    virtual tresult VST3_CALL getUnitByBus(MediaType type, BusDirection direction, std::int32_t bus,
                                           std::int32_t channel, UnitID& unit) = 0;
    virtual tresult VST3_CALL setUnitProgramData(std::int32_t listOrUnit, std::int32_t program, IBStream* data) = 0;
};

#if defined(_WIN64) || defined(__LP64__)
static_assert(sizeof(ParameterInfo) == 792 && sizeof(BusInfo) == 276, "controller record layout");
static_assert(sizeof(ProcessSetup) == 24 && sizeof(AudioBusBuffers) == 24 && sizeof(ProcessData) == 80,
              "process record layout");
#endif

}  // namespace vst3

#include "plugin/vst3/vst3_pack_end.h"
