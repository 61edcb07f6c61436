// The plug-in's panel: the artwork with ten knobs, the pan slider and output fader, twelve
// value displays, the "Dry out" button, the level meter, the gate LED and the About splash,
// kept in step with the parameters its host stores, in whatever format hosts it.
#pragma once

#include <atomic>
#include <cstdint>

#include "editor/editor_platform.h"
#include "editor/panel_base.h"
#include "editor/panel_layout.h"
#include "gui/control.h"

class Bitmap;
class HorizontalSlider;
class Knob;
class MovieBitmap;
class OnOffButton;
class ParamDisplay;
class SplashScreen;
class VerticalSlider;
class VuMeter;

// Text colour of every value display.
extern const Color kColorDisplayText;

class ReverbEditor : public PanelBase, public ControlListener {
public:
    // Pan and out, then one under each knob.
    static constexpr int kDisplayCount = 2 + panel::kKnobCount;
    static constexpr int kBitmapCount = 11;
    // Each idle the meter shows the output peak times kMeterScale, so full scale is a peak
    // of about 1.12; the LED shows the gate state times kGateScale, one image per state.
    static constexpr float kMeterScale = 0.89f;
    static constexpr float kGateScale = 0.49f;

    explicit ReverbEditor(PanelHost& host);
    ~ReverbEditor() override;

    bool open(void* parent) override;
    void close() override;
    void idle() override;
    void update() override;
    void setParameter(int index, float value) override;
    void controlChanged(DrawContext* context, Control* control) override;

    // The control editing a parameter and its value display; null when closed or when the
    // parameter has none.
    Control* controlFor(int index) const;
    ParamDisplay* displayFor(int index) const;
    VuMeter* levelMeter() const { return meter; }
    MovieBitmap* gateLight() const { return gateLed; }
    SplashScreen* splash() const { return aboutSplash; }
    Bitmap* panel() const { return panelBitmap; }

private:
    bool build();
    void addControl(Control* control);
    Bitmap* loaded(int resourceId) const;
    void showParameter(int index);
    bool onWindowThread() const { return currentThreadId() == windowThread.load(); }

    HorizontalSlider* panSlider = nullptr;
    VerticalSlider* outFader = nullptr;
    VuMeter* meter = nullptr;
    MovieBitmap* gateLed = nullptr;
    Knob* knobs[panel::kKnobCount] = {};
    OnOffButton* dryButton = nullptr;
    SplashScreen* aboutSplash = nullptr;
    Bitmap* panelBitmap = nullptr;
    Bitmap* bitmaps[kBitmapCount] = {};
    ParamDisplay* displays[kDisplayCount] = {};

    // Parameter changes from other threads (host automation on the audio thread) never touch
    // the views, which the window thread may be tearing down: they leave a mark here and the
    // window thread's next idle shows them.
    std::atomic<bool> panelOpen{false};
    std::atomic<std::uintptr_t> windowThread{0};
    std::atomic<std::uint32_t> changedElsewhere{0};
};
