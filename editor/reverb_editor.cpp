#include "editor/reverb_editor.h"

#include "editor/editor_platform.h"
#include "editor/panel_layout.h"
#include "editor/panel_host.h"
#include "effect/parameter_table.h"
#include "gui/bitmap.h"
#include "gui/frame.h"
#include "gui/knob.h"
#include "gui/movie_bitmap.h"
#include "gui/on_off_button.h"
#include "gui/param_display.h"
#include "gui/slider.h"
#include "gui/splash_screen.h"
#include "gui/vu_meter.h"

const Color kColorDisplayText = {static_cast<std::uint8_t>(panel::kDisplayText.r),
                                 static_cast<std::uint8_t>(panel::kDisplayText.g),
                                 static_cast<std::uint8_t>(panel::kDisplayText.b), 0};

namespace {

enum BitmapId {
    kPanelArt = 1024,
    kPanHandle = 1026,
    kPanTrack = 1027,
    kFaderHandle = 1028,
    kFaderTrack = 1029,
    kMeterUnlit = 1030,
    kMeterLit = 1031,
    kKnobBody = 1032,
    kKnobHandle = 1033,
    kDryButton = 1034,
    kAboutPicture = 1035,
    kGateLed = 1037,
};

// Loaded by open in this order, released by close.
constexpr int kOpenBitmaps[ReverbEditor::kBitmapCount] = {kPanHandle,  kPanTrack,     kFaderHandle, kFaderTrack,
                                                          kMeterUnlit, kMeterLit,     kKnobBody,    kKnobHandle,
                                                          kDryButton,  kAboutPicture, kGateLed};

enum Tag { kAboutTag = 101, kGateTag = 102 };

// Parameters of the displays, in the order they are added: pan, out, then the knobs'.
constexpr int displayParameter(int slot) { return slot < 2 ? slot : panel::kKnobs[slot - 2].parameter; }

Rect rectOf(const panel::PixelRect& r) { return Rect(r.left, r.top, r.right, r.bottom); }

// Bits no display style knows, so both draw as style 0; the displays carry them all the same.
constexpr int kPanDisplayStyle = 2;
constexpr int kKnobDisplayStyle = 1;
constexpr float kMeterFallStep = 0.02f;
constexpr int kGateImages = 3;

}  // namespace

ReverbEditor::ReverbEditor(PanelHost& host) : PanelBase(host) {
    installPanelImages();
    panelBitmap = new Bitmap(kPanelArt);
    size_ = Rect(0, 0, panelBitmap->getWidth(), panelBitmap->getHeight());  // from the artwork
}

ReverbEditor::~ReverbEditor() {
    // A host may destroy the effect with the window still open; the frame and its window
    // must not outlive this editor, which they call back into.
    if (frame) close();
    panelBitmap->release();
}

Bitmap* ReverbEditor::loaded(int resourceId) const {
    for (int i = 0; i < kBitmapCount; ++i)
        if (kOpenBitmaps[i] == resourceId) return bitmaps[i];
    return nullptr;
}

bool ReverbEditor::open(void* parent) {
    if (frame) close();  // opened twice: build afresh rather than leak the first panel
    PanelBase::open(parent);
    // Open before the controls read their values: a change from another thread while they
    // are built leaves its mark, and the next idle shows it.
    changedElsewhere = 0;
    windowThread = currentThreadId();
    panelOpen = true;
    bool built = false;
    try {
        built = build();
    } catch (...) {
        built = false;
    }
    if (!built) close();
    return built;
}

void ReverbEditor::addControl(Control* control) { frame->addView(control); }

bool ReverbEditor::build() {
    for (int i = 0; i < kBitmapCount; ++i)
        if (!bitmaps[i]) bitmaps[i] = new Bitmap(kOpenBitmaps[i]);

    const int width = panelBitmap->getWidth();
    const int height = panelBitmap->getHeight();
    frame = new Frame(Rect(0, 0, width, height), parentWindow, this, scale_);
    frame->setBackground(panelBitmap);

    Bitmap* panHandle = loaded(kPanHandle);
    Bitmap* panTrack = loaded(kPanTrack);
    panSlider = new HorizontalSlider(rectOf(panel::kPanSlider), this, kPan, panel::kPanHandleStart,
                                     panel::kPanSlider.right - panHandle->getWidth(), panHandle, panTrack, Point(0, 0),
                                     kSliderLeft);
    panSlider->setValue(host_.parameterValue(kPan));
    addControl(panSlider);

    Bitmap* faderHandle = loaded(kFaderHandle);
    Bitmap* faderTrack = loaded(kFaderTrack);
    outFader = new VerticalSlider(rectOf(panel::kOutFader), this, kOut, panel::kFaderHandleStart,
                                  panel::kOutFader.bottom - faderHandle->getHeight(), faderHandle, faderTrack,
                                  Point(0, 0), kSliderTop);
    outFader->setValue(host_.parameterValue(kOut));
    addControl(outFader);

    Bitmap* meterLit = loaded(kMeterLit);
    meter =
        new VuMeter(rectOf(panel::kMeter), meterLit, loaded(kMeterUnlit), meterLit->getHeight() / 2, kVuMeterVertical);
    meter->setValue(0.0f);
    meter->setFallStep(kMeterFallStep);
    addControl(meter);

    auto makeDisplay = [this](int slot, const Rect& where, int style) {
        const int parameter = displayParameter(slot);
        auto* display = new ParamDisplay(where, nullptr, style);
        display->setBackgroundOffset(Point(where.left, where.top));
        display->setBackground(panelBitmap);  // repaints the artwork under the text
        display->setFont(kFontSmall);
        display->setFontColor(kColorDisplayText);
        display->setValue(host_.parameterValue(parameter));
        display->setFormatter(panelFormatter(parameter));
        displays[slot] = display;
        addControl(display);
    };
    makeDisplay(0, rectOf(panel::kPanDisplay), kPanDisplayStyle);
    makeDisplay(1, rectOf(panel::kOutDisplay), kPanDisplayStyle);

    Bitmap* knobBody = loaded(kKnobBody);
    Bitmap* knobHandle = loaded(kKnobHandle);
    for (int i = 0; i < panel::kKnobCount; ++i) {
        const panel::KnobPlace& place = panel::kKnobs[i];
        // One row shorter than the body: its top row is skipped by the offset.
        Rect where(place.x, place.y, place.x + panel::kKnobSize, place.y - 1 + panel::kKnobBodyHeight);
        knobs[i] = new Knob(where, this, place.parameter, knobBody, knobHandle, Point(0, 1));
        knobs[i]->setValue(host_.parameterValue(place.parameter));
        addControl(knobs[i]);
    }
    for (int i = 0; i < panel::kKnobCount; ++i) {
        const int x = panel::kKnobs[i].x + panel::kDisplayDx;
        const int y = panel::kKnobs[i].y + panel::kDisplayDy;
        makeDisplay(2 + i, Rect(x, y, x + panel::kDisplayWidth, y + panel::kDisplayHeight), kKnobDisplayStyle);
    }

    Bitmap* buttonImages = loaded(kDryButton);
    dryButton = new OnOffButton(rectOf(panel::kDryButton), this, kDryOut, buttonImages);
    dryButton->setValue(host_.parameterValue(kDryOut));
    addControl(dryButton);

    Bitmap* picture = loaded(kAboutPicture);
    aboutSplash =
        new SplashScreen(rectOf(panel::kAboutLabel), this, kAboutTag, picture, rectOf(panel::kAboutCard), Point(0, 0));
    addControl(aboutSplash);

    Bitmap* led = loaded(kGateLed);
    gateLed = new MovieBitmap(rectOf(panel::kGateLed), this, kGateTag, kGateImages, led->getHeight() / kGateImages, led,
                              Point(0, 0));
    addControl(gateLed);
    return true;
}

void ReverbEditor::close() {
    panelOpen = false;
    delete frame;  // releases every view it holds
    frame = nullptr;
    for (Bitmap*& bitmap : bitmaps) {
        if (bitmap) bitmap->release();
        bitmap = nullptr;
    }
    panSlider = nullptr;
    outFader = nullptr;
    meter = nullptr;
    gateLed = nullptr;
    for (Knob*& knob : knobs) knob = nullptr;
    dryButton = nullptr;
    aboutSplash = nullptr;
    for (ParamDisplay*& display : displays) display = nullptr;
}

Control* ReverbEditor::controlFor(int index) const {
    switch (index) {
    case kPan: return panSlider;
    case kOut: return outFader;
    case kDryOut: return dryButton;
    default: break;
    }
    for (int i = 0; i < panel::kKnobCount; ++i)
        if (panel::kKnobs[i].parameter == index) return knobs[i];
    return nullptr;
}

ParamDisplay* ReverbEditor::displayFor(int index) const {
    for (int slot = 0; slot < kDisplayCount; ++slot)
        if (displayParameter(slot) == index) return displays[slot];
    return nullptr;
}

void ReverbEditor::showParameter(int index) {
    // The stored value, not the one passed in: the effect is the one truth.
    if (Control* control = controlFor(index)) control->setValue(host_.parameterValue(index));
    if (ParamDisplay* display = displayFor(index)) display->setValue(host_.parameterValue(index));
}

void ReverbEditor::setParameter(int index, float value) {
    (void)value;
    if (!onWindowThread()) {
        if (!panelOpen) return;
        if (isParameterIndex(index)) changedElsewhere.fetch_or(1u << index);
        requestUpdate();
        return;
    }
    if (!frame) return;
    showParameter(index);
    requestUpdate();
}

void ReverbEditor::update() {
    std::uint32_t changed = changedElsewhere.exchange(0);
    if (!frame) return;
    for (int index = 0; index < kParameterCount; ++index)
        if (changed & (1u << index)) showParameter(index);
}

void ReverbEditor::controlChanged(DrawContext* context, Control* control) {
    if (!control) return;
    const int tag = control->tag;
    // The splash and the LED carry tags past the parameters and edit nothing.
    if (isParameterIndex(tag)) host_.performEdit(tag, control->getValue());
    if (context) control->redrawIfDirty(context);
}

void ReverbEditor::idle() {
    PanelBase::idle();
    if (meter) meter->setValue(host_.takeMeterPeak() * kMeterScale);
    if (gateLed) gateLed->setValue(static_cast<float>(host_.panelGateState()) * kGateScale);
}
