// The reverb's panel as a VST 3 view. The view is the panel's host: gestures go to the
// host's component handler with the value set on the controller first, and values the host
// or the processor stored since the last idle move the controls at the next one. The meter
// reads the core's panel peak, so it takes nothing from anyone else. The host's content scale
// factor sizes and draws the panel; a change while attached asks the frame for the new size.
#pragma once

#include <atomic>
#include <memory>

#include "editor/embedded_panel.h"
#include "plugin/vst3/vst3_view.h"

namespace vst3 {

class HallmereVst3;

class HallmereView final : public IPlugView, public IPlugViewContentScaleSupport, public EmbeddedPanel {
public:
    explicit HallmereView(HallmereVst3& plugin);

    tresult VST3_CALL queryInterface(const TUID iid, void** object) override;
    std::uint32_t VST3_CALL addRef() override;
    std::uint32_t VST3_CALL release() override;

    tresult VST3_CALL isPlatformTypeSupported(FIDString type) override;
    tresult VST3_CALL attached(void* parent, FIDString type) override;
    tresult VST3_CALL removed() override;
    tresult VST3_CALL onWheel(float distance) override;
    tresult VST3_CALL onKeyDown(char16 key, std::int16_t keyCode, std::int16_t modifiers) override;
    tresult VST3_CALL onKeyUp(char16 key, std::int16_t keyCode, std::int16_t modifiers) override;
    tresult VST3_CALL getSize(ViewRect* size) override;
    tresult VST3_CALL onSize(ViewRect* newSize) override;
    tresult VST3_CALL onFocus(TBool state) override;
    tresult VST3_CALL setFrame(IPlugFrame* frame) override;
    tresult VST3_CALL canResize() override;
    tresult VST3_CALL checkSizeConstraint(ViewRect* rect) override;

    // Refuses a factor that is not a number above 0; clamps the rest (PanelBase::acceptedScale).
    tresult VST3_CALL setContentScaleFactor(float factor) override;

    float parameterValue(int index) override;
    void beginEdit(int index) override;
    void performEdit(int index, float value) override;
    void endEdit(int index) override;
    float takeMeterPeak() override;
    int panelGateState() override;

private:
    ~HallmereView();
    ViewRect panelRect() const;

    HallmereVst3& plugin_;
    std::atomic<std::uint32_t> references_{1};
    IPlugFrame* frame_ = nullptr;
    std::unique_ptr<PanelPump> pump_;
};

}  // namespace vst3
