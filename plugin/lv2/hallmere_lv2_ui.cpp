// The reverb's panel as an LV2 X11 UI. The panel edits an effect of its own, a stand-in for
// the plug-in that lives in the UI: what the panel changes goes out as port writes (with
// touch brackets where the host offers them), and what the host reports as port events is
// what the stand-in answers, so the UI works when the host runs it in another process.
#include <lv2/ui/ui.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "editor/reverb_editor.h"
#include "editor/reverb_plugin.h"
#include "gui/frame.h"
#include "gui/frame_window.h"
#include "plugin/lv2/port_map.h"

namespace {

VstIntPtr toHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

class PanelProxy : public ReverbPlugin {
public:
    PanelProxy(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : ReverbPlugin(toHost), write_(write), controller_(controller), touch_(touch) {}

    ReverbEditor* panel() const { return dynamic_cast<ReverbEditor*>(editor); }

    float getVu() override { return meter_; }
    int panelGateState() const override { return gate_; }

    // What the host reports: a parameter's port value, the meter or the gate.
    void portEvent(std::uint32_t port, float value) {
        if (lv2port::isParameterPort(port)) {
            const int index = lv2port::parameterOf(port);
            float normalised;
            if (lv2port::fromPort(index, value, normalised)) setParameter(index, normalised);
        } else if (port == lv2port::kMeter) {
            meter_ = value;
        } else if (port == lv2port::kGate) {
            gate_ = static_cast<int>(value);
        }
    }

    // What the panel asks of its host.
    VstIntPtr request(VstInt32 opcode, VstInt32 index, float value) {
        if (!isParameterIndex(index)) return 0;
        const std::uint32_t port = lv2port::forParameter(index);
        switch (opcode) {
        case audioMasterAutomate: {
            const float portValue = lv2port::toPort(index, value);
            write_(controller_, port, sizeof portValue, 0, &portValue);
            return 1;
        }
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            if (touch_) touch_->touch(touch_->handle, port, opcode == audioMasterBeginEdit);
            return touch_ != nullptr;
        default: return 0;
        }
    }

private:
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    float meter_ = 0.0f;
    int gate_ = 0;
};

VstIntPtr toHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    // Calls made while the stand-in is still being built find no proxy and get 0.
    auto* base = effect ? static_cast<EffectBase*>(effect->object) : nullptr;
    auto* proxy = dynamic_cast<PanelProxy*>(base);
    return proxy ? proxy->request(opcode, index, opt) : 0;
}

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

void cleanup(LV2UI_Handle handle) {
    auto* proxy = static_cast<PanelProxy*>(handle);
    if (ReverbEditor* panel = proxy->panel()) panel->close();
    delete proxy;  // and with it the editor
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    if (parent == nullptr || write == nullptr) return nullptr;
    auto* touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
    auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));

    PanelProxy* proxy = nullptr;
    try {
        proxy = new PanelProxy(write, controller, touch);
    } catch (...) {
        return nullptr;
    }
    ReverbEditor* panel = proxy->panel();
    Frame* frame = nullptr;
    if (panel == nullptr || panel->open(parent) == 0 || (frame = panel->getFrame()) == nullptr ||
        frame->window() == nullptr) {
        cleanup(proxy);
        return nullptr;
    }
    *widget = frame->window()->nativeHandle();
    ERect* size = nullptr;
    if (resize && panel->getRect(&size) && size)
        resize->ui_resize(resize->handle, size->right - size->left, size->bottom - size->top);
    return proxy;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    static_cast<PanelProxy*>(handle)->portEvent(port, value);
}

int idle(LV2UI_Handle handle) {
    if (ReverbEditor* panel = static_cast<PanelProxy*>(handle)->panel()) panel->idle();
    return 0;
}

const LV2UI_Idle_Interface idleInterface = {idle};

const void* extensionData(const char* uri) {
    return std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}

const LV2UI_Descriptor descriptor = {lv2port::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
