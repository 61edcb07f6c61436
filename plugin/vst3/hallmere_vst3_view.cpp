#include "plugin/vst3/hallmere_vst3_view.h"

#include <cstring>

#include "plugin/vst3/hallmere_vst3.h"
#include "plugin/vst3/view_pump.h"

namespace vst3 {

namespace {

#if defined(_WIN32)
constexpr const char* kOwnPlatformType = kPlatformTypeHWND;
#else
constexpr const char* kOwnPlatformType = kPlatformTypeX11EmbedWindowID;
#endif

bool isOwnType(FIDString type) { return type != nullptr && std::strcmp(type, kOwnPlatformType) == 0; }

// Only the arrows, which step the focused control; every other key stays the host's.
bool toKeyCode(char16 key, std::int16_t keyCode, std::int16_t modifiers, KeyCode& code) {
    if (keyCode < kKeyLeft || keyCode > kKeyDown) return false;
    code = KeyCode{static_cast<std::int32_t>(key), static_cast<std::uint8_t>(kArrowLeft + (keyCode - kKeyLeft)),
                   static_cast<std::uint8_t>((modifiers & kShiftKey) ? kKeyModShift : 0)};
    return true;
}

tresult answer(bool yes) { return yes ? kResultTrue : kResultFalse; }

}  // namespace

HallmereView::HallmereView(HallmereVst3& plugin) : plugin_(plugin) { plugin_.addRef(); }

HallmereView::~HallmereView() {
    removed();  // a host may release the view without removing it first
    plugin_.release();
}

tresult HallmereView::queryInterface(const TUID iid, void** object) {
    if (object == nullptr) return kInvalidArgument;
    if (FUnknown::iid == iid || IPlugView::iid == iid)
        *object = static_cast<IPlugView*>(this);
    else if (IPlugViewContentScaleSupport::iid == iid)
        *object = static_cast<IPlugViewContentScaleSupport*>(this);
    else
        *object = nullptr;
    if (*object == nullptr) return kNoInterface;
    addRef();
    return kResultOk;
}

std::uint32_t HallmereView::addRef() { return references_.fetch_add(1, std::memory_order_relaxed) + 1; }

std::uint32_t HallmereView::release() {
    const std::uint32_t left = references_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult HallmereView::isPlatformTypeSupported(FIDString type) { return answer(isOwnType(type)); }

tresult HallmereView::attached(void* parent, FIDString type) {
    if (parent == nullptr || !isOwnType(type)) return kInvalidArgument;
    if (!open(parent)) return kResultFalse;
#if defined(_WIN32)
    pump_.reset(startWindowTimerPump(*this, panelWindow()));
#else
    pump_.reset(startRunLoopPump(*this, frame_));
#endif
    if (!pump_) {
        close();  // a panel nobody idles would never even paint
        return kResultFalse;
    }
    return kResultOk;
}

tresult HallmereView::removed() {
    pump_.reset();
    close();
    return kResultOk;
}

tresult HallmereView::onWheel(float distance) { return answer(panel().wheel(distance)); }

tresult HallmereView::onKeyDown(char16 key, std::int16_t keyCode, std::int16_t modifiers) {
    KeyCode code;
    return answer(toKeyCode(key, keyCode, modifiers, code) && panel().keyDown(code) > 0);
}

tresult HallmereView::onKeyUp(char16 key, std::int16_t keyCode, std::int16_t modifiers) {
    KeyCode code;
    return answer(toKeyCode(key, keyCode, modifiers, code) && panel().keyUp(code) > 0);
}

ViewRect HallmereView::panelRect() const {
    const Rect size = scaledPanelSize();
    return ViewRect{size.left, size.top, size.right, size.bottom};
}

tresult HallmereView::getSize(ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    *size = panelRect();
    return kResultOk;
}

// The panel has one size at each scale, its artwork's.
tresult HallmereView::onSize(ViewRect* newSize) {
    if (newSize == nullptr) return kInvalidArgument;
    const ViewRect own = panelRect();
    return answer(newSize->right - newSize->left == own.right - own.left &&
                  newSize->bottom - newSize->top == own.bottom - own.top);
}

tresult HallmereView::onFocus(TBool) { return kResultOk; }

tresult HallmereView::setFrame(IPlugFrame* frame) {
    frame_ = frame;
    return kResultOk;
}

tresult HallmereView::canResize() { return kResultFalse; }

tresult HallmereView::checkSizeConstraint(ViewRect* rect) {
    if (rect == nullptr) return kInvalidArgument;
    *rect = panelRect();
    return kResultTrue;
}

tresult HallmereView::setContentScaleFactor(float factor) {
    const double before = panelScale();
    if (!setPanelScale(factor)) return kResultFalse;
    if (isOpen() && frame_ != nullptr && panelScale() != before) {
        ViewRect size = panelRect();
        frame_->resizeView(this, &size);
    }
    return kResultTrue;
}

float HallmereView::parameterValue(int index) {
    return isParameterIndex(index) ? static_cast<float>(plugin_.getParamNormalized(static_cast<ParamID>(index))) : 0.0f;
}

void HallmereView::beginEdit(int index) {
    if (IComponentHandler* handler = plugin_.componentHandler()) handler->beginEdit(static_cast<ParamID>(index));
}

// The controller's value first, as the interface asks, then the host; the panel then shows
// the value stored, as it does for a change from anywhere else.
void HallmereView::performEdit(int index, float value) {
    if (!isParameterIndex(index)) return;
    const ParamID id = static_cast<ParamID>(index);
    plugin_.setParamNormalized(id, value);
    if (IComponentHandler* handler = plugin_.componentHandler()) handler->performEdit(id, value);
    showStored(index);
}

void HallmereView::endEdit(int index) {
    if (IComponentHandler* handler = plugin_.componentHandler()) handler->endEdit(static_cast<ParamID>(index));
}

float HallmereView::takeMeterPeak() { return plugin_.takePanelPeak(); }

int HallmereView::panelGateState() { return plugin_.gateState(); }

}  // namespace vst3
