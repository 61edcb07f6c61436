#include "editor/reverb_editor.h"

#include "editor/editor_platform.h"
#include "editor/reverb_plugin.h"
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

const Color kColorDisplayText = {0, 183, 224, 0};

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
constexpr int kOpenBitmaps[ReverbEditor::kBitmapCount] = {
    kPanHandle, kPanTrack,  kFaderHandle, kFaderTrack,   kMeterUnlit, kMeterLit,
    kKnobBody,  kKnobHandle, kDryButton,  kAboutPicture, kGateLed};

enum Tag { kAboutTag = 101, kGateTag = 102 };

struct KnobPlace {
    int parameter;
    int x;
    int y;
};

// In the order the knobs are added; room size comes after early-reflection level.
constexpr KnobPlace kKnobPlaces[ReverbEditor::kKnobCount] = {
    {kT60, 36, 76},         {kDamping, 94, 76},   {kDensity, 36, 161},    {kEarlyDelay, 305, 76},
    {kHighCut, 165, 76},    {kLowCut, 165, 161},  {kSensitivity, 235, 76}, {kHold, 235, 161},
    {kEarlyLevel, 305, 161}, {kRoomSize, 94, 161},
};

// Each knob's display sits this far from the knob's top-left corner.
constexpr int kDisplayDx = -11;
constexpr int kDisplayDy = 37;
constexpr int kDisplayWidth = 48;
constexpr int kDisplayHeight = 10;

// Parameters of the displays, in the order they are added: pan, out, then the knobs'.
constexpr int displayParameter(int slot) {
    return slot < 2 ? slot : kKnobPlaces[slot - 2].parameter;
}

constexpr int kPanStyle = 8;
constexpr int kFaderStyle = 64;
constexpr int kMeterVertical = 2;
constexpr int kPanDisplayStyle = 2;
constexpr int kKnobDisplayStyle = 1;
constexpr float kMeterFallStep = 0.02f;
constexpr float kMeterScale = 0.89f;
constexpr float kGateScale = 0.49f;
constexpr int kGateImages = 3;

}  // namespace

ReverbEditor::ReverbEditor(ReverbPlugin* plugin) : EditorBase(plugin), plugin(plugin) {
    installPanelImages();
    panelBitmap = new Bitmap(kPanelArt);
    // The window's size comes from the artwork.
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<std::int16_t>(panelBitmap->getHeight());
    rect.right = static_cast<std::int16_t>(panelBitmap->getWidth());
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

VstInt32 ReverbEditor::open(void* parent) {
    if (frame) close();  // opened twice: build afresh rather than leak the first panel
    EditorBase::open(parent);
    bool built = false;
    try {
        built = build();
    } catch (...) {
        built = false;
    }
    if (!built) {
        close();
        return 0;
    }
    changedElsewhere = 0;  // every value was just read afresh
    windowThread = std::this_thread::get_id();
    panelOpen = true;
    return 1;
}

void ReverbEditor::addControl(Control* control) { frame->addView(control); }

bool ReverbEditor::build() {
    for (int i = 0; i < kBitmapCount; ++i)
        if (!bitmaps[i]) bitmaps[i] = new Bitmap(kOpenBitmaps[i]);

    const int width = panelBitmap->getWidth();
    const int height = panelBitmap->getHeight();
    frame = new Frame(Rect(0, 0, width, height), parentWindow, this);
    frame->setBackground(panelBitmap);

    Bitmap* panHandle = loaded(kPanHandle);
    Bitmap* panTrack = loaded(kPanTrack);
    Rect panRect(358, 17, 358 + panTrack->getWidth(), 17 + panTrack->getHeight());
    panSlider = new HorizontalSlider(panRect, this, kPan, 362,
                                     358 + panTrack->getWidth() - panHandle->getWidth(), panHandle,
                                     panTrack, Point(0, 0), kPanStyle);
    panSlider->setValue(plugin->getParameter(kPan));
    addControl(panSlider);

    Bitmap* faderHandle = loaded(kFaderHandle);
    Bitmap* faderTrack = loaded(kFaderTrack);
    Rect faderRect(391, 36, 391 + faderTrack->getWidth(), 36 + faderTrack->getHeight());
    outFader = new VerticalSlider(faderRect, this, kOut, 40,
                                  36 + faderTrack->getHeight() - faderHandle->getHeight(),
                                  faderHandle, faderTrack, Point(0, 0), kFaderStyle);
    outFader->setValue(plugin->getParameter(kOut));
    addControl(outFader);

    Bitmap* meterLit = loaded(kMeterLit);
    Rect meterRect(413, 40, 413 + meterLit->getWidth(), 40 + meterLit->getHeight());
    meter = new VuMeter(meterRect, meterLit, loaded(kMeterUnlit), meterLit->getHeight() / 2,
                        kMeterVertical);
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
        display->setValue(plugin->getParameter(parameter));
        display->setFormatter(panelFormatter(parameter));
        displays[slot] = display;
        addControl(display);
    };
    makeDisplay(0, Rect(359, 39, 387, 49), kPanDisplayStyle);
    makeDisplay(1, Rect(395, 199, 423, 209), kPanDisplayStyle);

    Bitmap* knobBody = loaded(kKnobBody);
    Bitmap* knobHandle = loaded(kKnobHandle);
    for (int i = 0; i < kKnobCount; ++i) {
        const KnobPlace& place = kKnobPlaces[i];
        // One row shorter than the body: its top row is skipped by the offset.
        Rect where(place.x, place.y, place.x + knobBody->getWidth(),
                   place.y - 1 + knobBody->getHeight());
        knobs[i] = new Knob(where, this, place.parameter, knobBody, knobHandle, Point(0, 1));
        knobs[i]->setValue(plugin->getParameter(place.parameter));
        addControl(knobs[i]);
    }
    for (int i = 0; i < kKnobCount; ++i) {
        const int x = kKnobPlaces[i].x + kDisplayDx;
        const int y = kKnobPlaces[i].y + kDisplayDy;
        makeDisplay(2 + i, Rect(x, y, x + kDisplayWidth, y + kDisplayHeight), kKnobDisplayStyle);
    }

    Bitmap* buttonImages = loaded(kDryButton);
    Rect buttonRect(361, 60, 361 + buttonImages->getWidth(), 60 + buttonImages->getHeight() / 2);
    dryButton = new OnOffButton(buttonRect, this, kDryOut, buttonImages);
    dryButton->setValue(plugin->getParameter(kDryOut));
    addControl(dryButton);

    Bitmap* picture = loaded(kAboutPicture);
    Rect pictureRect(18, 56, 18 + picture->getWidth(), 56 + picture->getHeight());
    aboutSplash =
        new SplashScreen(Rect(395, 229, 435, 243), this, kAboutTag, picture, pictureRect, Point(0, 0));
    addControl(aboutSplash);

    Bitmap* led = loaded(kGateLed);
    const int ledHeight = led->getHeight() / kGateImages;
    gateLed = new MovieBitmap(Rect(262, 214, 262 + led->getWidth(), 214 + ledHeight), this, kGateTag,
                              kGateImages, ledHeight, led, Point(0, 0));
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
    case kPan:
        return panSlider;
    case kOut:
        return outFader;
    case kDryOut:
        return dryButton;
    default:
        break;
    }
    for (int i = 0; i < kKnobCount; ++i)
        if (kKnobPlaces[i].parameter == index) return knobs[i];
    return nullptr;
}

ParamDisplay* ReverbEditor::displayFor(int index) const {
    for (int slot = 0; slot < kDisplayCount; ++slot)
        if (displayParameter(slot) == index) return displays[slot];
    return nullptr;
}

void ReverbEditor::showParameter(int index) {
    // The stored value, not the one passed in: the effect is the one truth.
    if (Control* control = controlFor(index)) control->setValue(plugin->getParameter(index));
    if (ParamDisplay* display = displayFor(index)) display->setValue(plugin->getParameter(index));
}

void ReverbEditor::setParameter(VstInt32 index, float value) {
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
    if (isParameterIndex(tag)) plugin->setParameterAutomated(tag, control->getValue());
    if (context) control->redrawIfDirty(context);
}

void ReverbEditor::idle() {
    EditorBase::idle();
    if (meter) meter->setValue(plugin->getVu() * kMeterScale);
    if (gateLed) gateLed->setValue(static_cast<float>(plugin->panelGateState()) * kGateScale);
}
