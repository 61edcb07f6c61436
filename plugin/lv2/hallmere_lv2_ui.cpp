// The reverb's panel as an LV2 X11 UI, hosting the panel itself: what the panel changes goes
// out as port writes (with touch brackets where the host offers them), and the values, the
// meter and the gate it shows are what the host reports as port events, so the UI works
// when the host runs it in another process. The host's ui:scaleFactor option, given at
// instantiate or set later through the options interface, sizes and draws the panel.
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "editor/panel_host.h"
#include "editor/reverb_editor.h"
#include "effect/reverb_program.h"
#include "gui/frame.h"
#include "gui/frame_window.h"
#include "plugin/lv2/port_map.h"

namespace {

// The ui:scaleFactor option in the host's terms: its key and value type as the host maps
// them; without the map no option is the scale.
class ScaleOption {
public:
    explicit ScaleOption(const LV2_URID_Map* map)
        : key_(map ? map->map(map->handle, LV2_UI__scaleFactor) : 0),
          floatType_(map ? map->map(map->handle, LV2_ATOM__Float) : 0) {}

    bool is(const LV2_Options_Option& option) const { return key_ != 0 && option.key == key_; }
    // The factor the option carries; false when it is not one float.
    bool factorIn(const LV2_Options_Option& option, float& factor) const {
        if (option.type != floatType_ || option.size != sizeof factor || option.value == nullptr) return false;
        std::memcpy(&factor, option.value, sizeof factor);
        return true;
    }
    LV2_Options_Option carrying(const LV2_Options_Option& asked, const float* factor) const {
        return LV2_Options_Option{asked.context, asked.subject, key_, sizeof *factor, floatType_, factor};
    }

private:
    LV2_URID key_;
    LV2_URID floatType_;
};

class Lv2Panel final : public PanelHost {
public:
    Lv2Panel(LV2UI_Write_Function write, LV2UI_Controller controller, const LV2UI_Touch* touch)
        : write_(write), controller_(controller), touch_(touch) {
        // Until the host reports otherwise, the plug-in holds its first program.
        for (int index = 0; index < kParameterCount; ++index) values_[index] = factoryPrograms[0].values[index];
    }

    ReverbEditor& panel() { return panel_; }

    // The host's map for the scale option and its resize request, when it has them.
    void takeHostFeatures(const LV2_URID_Map* map, const LV2UI_Resize* resize) {
        scaleOption_ = ScaleOption(map);
        resize_ = resize;
    }

    // The options the host gives or changes; the scale factor is the one the panel reads.
    std::uint32_t setOptions(const LV2_Options_Option* options) {
        std::uint32_t status = LV2_OPTIONS_SUCCESS;
        for (; options && options->key != 0; ++options) {
            float factor = 0.0f;
            if (!scaleOption_.is(*options))
                status |= LV2_OPTIONS_ERR_BAD_KEY;
            else if (!scaleOption_.factorIn(*options, factor) || !setScale(factor))
                status |= LV2_OPTIONS_ERR_BAD_VALUE;
        }
        return status;
    }

    std::uint32_t getOptions(LV2_Options_Option* options) {
        std::uint32_t status = LV2_OPTIONS_SUCCESS;
        shownScale_ = static_cast<float>(panel_.scale());
        for (; options && options->key != 0; ++options) {
            if (scaleOption_.is(*options))
                *options = scaleOption_.carrying(*options, &shownScale_);
            else
                status |= LV2_OPTIONS_ERR_BAD_KEY;
        }
        return status;
    }

    // The size in device pixels, told to the host when it listens.
    void requestSize() {
        const Rect size = panel_.scaledSize();
        if (resize_) resize_->ui_resize(resize_->handle, size.width(), size.height());
    }

    // What the host reports: a parameter's port value, the meter or the gate.
    void portEvent(std::uint32_t port, float value) {
        if (lv2port::isParameterPort(port)) {
            float normalised;
            if (lv2port::fromPort(lv2port::parameterOf(port), value, normalised))
                store(lv2port::parameterOf(port), normalised);
        } else if (port == lv2port::kMeter) {
            meter_ = value;
        } else if (port == lv2port::kGate) {
            gate_ = static_cast<int>(value);
        }
    }

    float parameterValue(int index) override { return isParameterIndex(index) ? values_[index] : 0.0f; }
    void beginEdit(int index) override { touch(index, true); }
    void performEdit(int index, float value) override {
        if (!isParameterIndex(index)) return;
        store(index, value);
        const float portValue = lv2port::toPort(index, value);
        write_(controller_, lv2port::forParameter(index), sizeof portValue, 0, &portValue);
    }
    void endEdit(int index) override { touch(index, false); }
    // The host sends the meter port's reading; it is shown until the next one.
    float takeMeterPeak() override { return meter_; }
    int panelGateState() override { return gate_; }

private:
    void store(int index, float normalised) {
        values_[index] = normalised;
        panel_.setParameter(index, normalised);
    }
    // Refused (not a number above 0) or clamped, as PanelBase::acceptedScale says.
    bool setScale(double factor) {
        const double before = panel_.scale();
        if (!panel_.setScale(factor)) return false;
        if (panel_.getFrame() && panel_.scale() != before) requestSize();
        return true;
    }
    void touch(int index, bool grabbed) {
        if (touch_ && isParameterIndex(index)) touch_->touch(touch_->handle, lv2port::forParameter(index), grabbed);
    }

    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    const LV2UI_Touch* touch_;
    const LV2UI_Resize* resize_ = nullptr;
    ScaleOption scaleOption_{nullptr};
    float shownScale_ = 1.0f;  // what getOptions points the host at
    float values_[kParameterCount] = {};
    float meter_ = 0.0f;
    int gate_ = 0;
    ReverbEditor panel_{*this};  // last: it may read everything above
};

const void* feature(const LV2_Feature* const* features, const char* uri) {
    for (; features && *features; ++features)
        if (std::strcmp((*features)->URI, uri) == 0) return (*features)->data;
    return nullptr;
}

void cleanup(LV2UI_Handle handle) {
    auto* ui = static_cast<Lv2Panel*>(handle);
    ui->panel().close();
    delete ui;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    if (parent == nullptr || write == nullptr) return nullptr;
    auto* touch = static_cast<const LV2UI_Touch*>(feature(features, LV2_UI__touch));
    auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));

    Lv2Panel* ui = nullptr;
    try {
        ui = new Lv2Panel(write, controller, touch);
    } catch (...) {
        return nullptr;
    }
    ui->takeHostFeatures(static_cast<const LV2_URID_Map*>(feature(features, LV2_URID__map)), resize);
    // Before the panel opens, so that it opens at the host's scale; other options are ignored.
    ui->setOptions(static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options)));
    ReverbEditor& panel = ui->panel();
    Frame* frame = nullptr;
    if (!panel.open(parent) || (frame = panel.getFrame()) == nullptr || frame->window() == nullptr) {
        cleanup(ui);
        return nullptr;
    }
    *widget = frame->window()->nativeHandle();
    ui->requestSize();
    return ui;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    static_cast<Lv2Panel*>(handle)->portEvent(port, value);
}

int idle(LV2UI_Handle handle) {
    static_cast<Lv2Panel*>(handle)->panel().idle();
    return 0;
}

const LV2UI_Idle_Interface idleInterface = {idle};

std::uint32_t getOptions(LV2_Handle handle, LV2_Options_Option* options) {
    return static_cast<Lv2Panel*>(handle)->getOptions(options);
}

std::uint32_t setOptions(LV2_Handle handle, const LV2_Options_Option* options) {
    return static_cast<Lv2Panel*>(handle)->setOptions(options);
}

const LV2_Options_Interface optionsInterface = {getOptions, setOptions};

const void* extensionData(const char* uri) {
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &idleInterface;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &optionsInterface;
    return nullptr;
}

const LV2UI_Descriptor descriptor = {lv2port::kUiUri, instantiate, cleanup, portEvent, extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
