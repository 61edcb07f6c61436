// The reverb as a VST 3 plug-in: one object is component, audio processor and edit
// controller at once. The controller then reads and sets the very values the processor
// renders with (the core's setters run on any thread and never wait), so no messages pass
// between two halves and nothing can disagree; hosts that want a separate controller find
// none (getControllerClassId) and take the controller interface from the component.
// The panel is a view of its own (hallmere_vst3_view.h).
#pragma once

#include <atomic>

#include "effect/reverb_core.h"
#include "plugin/vst3/vst3_audio.h"

namespace vst3 {

// IComponent and IEditController both call their state methods setState and getState; these
// give each role's pair a name of its own.
class ComponentRole : public IComponent {
public:
    tresult VST3_CALL setState(IBStream* state) final { return loadState(state); }
    tresult VST3_CALL getState(IBStream* state) final { return saveState(state); }

protected:
    virtual tresult loadState(IBStream* state) = 0;
    virtual tresult saveState(IBStream* state) = 0;
};

class ControllerRole : public IEditController {
public:
    tresult VST3_CALL setState(IBStream* state) final { return loadControllerState(state); }
    tresult VST3_CALL getState(IBStream* state) final { return saveControllerState(state); }

protected:
    virtual tresult loadControllerState(IBStream* state) = 0;
    virtual tresult saveControllerState(IBStream* state) = 0;
};

class HallmereVst3 final : public ComponentRole,
                           public IAudioProcessor,
                           public ControllerRole,
                           public IUnitInfo,
                           public IProcessContextRequirements {
public:
    HallmereVst3();
    bool isValid() const { return core_.isValid(); }

    // For the view: where its gestures go (null without a host handler), and its meter and LED.
    IComponentHandler* componentHandler() const { return handler_; }
    float takePanelPeak() { return core_.takePanelPeak(); }
    int gateState() const { return core_.gateState(); }

    tresult VST3_CALL queryInterface(const TUID iid, void** object) override;
    std::uint32_t VST3_CALL addRef() override;
    std::uint32_t VST3_CALL release() override;

    // IPluginBase, for both roles: a host may initialize and terminate each of them.
    tresult VST3_CALL initialize(FUnknown* context) override;
    tresult VST3_CALL terminate() override;

    // IComponent
    tresult VST3_CALL getControllerClassId(TUID classId) override;
    tresult VST3_CALL setIoMode(std::int32_t mode) override;
    std::int32_t VST3_CALL getBusCount(MediaType type, BusDirection direction) override;
    tresult VST3_CALL getBusInfo(MediaType type, BusDirection direction, std::int32_t index, BusInfo& bus) override;
    tresult VST3_CALL getRoutingInfo(RoutingInfo& in, RoutingInfo& out) override;
    tresult VST3_CALL activateBus(MediaType type, BusDirection direction, std::int32_t index, TBool state) override;
    tresult VST3_CALL setActive(TBool state) override;

    // IAudioProcessor
    tresult VST3_CALL setBusArrangements(SpeakerArrangement* inputs, std::int32_t inputCount,
                                         SpeakerArrangement* outputs, std::int32_t outputCount) override;
    tresult VST3_CALL getBusArrangement(BusDirection direction, std::int32_t index,
                                        SpeakerArrangement& arrangement) override;
    tresult VST3_CALL canProcessSampleSize(std::int32_t symbolicSampleSize) override;
    std::uint32_t VST3_CALL getLatencySamples() override;
    tresult VST3_CALL setupProcessing(ProcessSetup& setup) override;
    tresult VST3_CALL setProcessing(TBool state) override;
    tresult VST3_CALL process(ProcessData& data) override;
    std::uint32_t VST3_CALL getTailSamples() override;

    // IProcessContextRequirements: the reverb needs no transport.
    std::uint32_t VST3_CALL getProcessContextRequirements() override;

    // IEditController
    tresult VST3_CALL setComponentState(IBStream* state) override;
    std::int32_t VST3_CALL getParameterCount() override;
    tresult VST3_CALL getParameterInfo(std::int32_t index, ParameterInfo& info) override;
    tresult VST3_CALL getParamStringByValue(ParamID id, ParamValue normalized, String128 text) override;
    tresult VST3_CALL getParamValueByString(ParamID id, char16* text, ParamValue& normalized) override;
    ParamValue VST3_CALL normalizedParamToPlain(ParamID id, ParamValue normalized) override;
    ParamValue VST3_CALL plainParamToNormalized(ParamID id, ParamValue plain) override;
    ParamValue VST3_CALL getParamNormalized(ParamID id) override;
    tresult VST3_CALL setParamNormalized(ParamID id, ParamValue normalized) override;
    tresult VST3_CALL setComponentHandler(IComponentHandler* handler) override;
    IPlugView* VST3_CALL createView(FIDString name) override;

    // IUnitInfo: one unit holding the list of the eight programs.
    std::int32_t VST3_CALL getUnitCount() override;
    tresult VST3_CALL getUnitInfo(std::int32_t index, UnitInfo& info) override;
    std::int32_t VST3_CALL getProgramListCount() override;
    tresult VST3_CALL getProgramListInfo(std::int32_t index, ProgramListInfo& info) override;
    tresult VST3_CALL getProgramName(ProgramListID list, std::int32_t program, String128 name) override;
    tresult VST3_CALL getProgramInfo(ProgramListID list, std::int32_t program, const char* attribute,
                                     String128 value) override;
    tresult VST3_CALL hasProgramPitchNames(ProgramListID list, std::int32_t program) override;
    tresult VST3_CALL getProgramPitchName(ProgramListID list, std::int32_t program, std::int16_t pitch,
                                          String128 name) override;
    UnitID VST3_CALL getSelectedUnit() override;
    tresult VST3_CALL selectUnit(UnitID id) override;
    tresult VST3_CALL getUnitByBus(MediaType type, BusDirection direction, std::int32_t bus, std::int32_t channel,
                                   UnitID& unit) override;
    tresult VST3_CALL setUnitProgramData(std::int32_t listOrUnit, std::int32_t program, IBStream* data) override;

protected:
    // The component's state is the core's state record; the controller keeps none of its own.
    tresult loadState(IBStream* state) override;
    tresult saveState(IBStream* state) override;
    tresult loadControllerState(IBStream* state) override;
    tresult saveControllerState(IBStream* state) override;

private:
    ~HallmereVst3();

    struct Wiring {
        const float* in[2];
        float* out[2];
    };
    struct Changes;

    // Audio thread.
    void applyPoint(ParamID id, ParamValue value, std::int32_t offset, IParameterChanges* report);
    void renderPiece(const Wiring& wiring, std::int32_t start, std::int32_t frames, float offset);

    // Any thread: a host value for one of the ids, held to 0..1; NaN is ignored.
    void setValue(ParamID id, ParamValue normalized);

    ReverbCore core_;
    std::atomic<std::uint32_t> references_{1};
    std::atomic<bool> bypassed_{false};
    SpeakerArrangement inputArrangement_ = kSpeakerStereo;
    double sampleRate_ = kStartSampleRate;
    IComponentHandler* handler_ = nullptr;

    // Audio thread: where a bypassed block's reverb goes, unheard.
    static constexpr std::int32_t kScratchFrames = 256;
    float scratch_[2][kScratchFrames];
};

}  // namespace vst3
