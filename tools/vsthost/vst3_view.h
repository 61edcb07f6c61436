// The panel's side of the VST 3 interface as the host uses it: a view created by the edit
// controller and attached to a window of ours.
#pragma once

#include "plugin/vst3/vst3_audio.h"

namespace vst3 {

// Four 32-bit fields and an interface: laid out alike under any packing.
struct ViewRect {
    std::int32_t left, top, right, bottom;
};

#if defined(_WIN32)
constexpr FIDString kPlatformTypeNative = "HWND";
#else
constexpr FIDString kPlatformTypeNative = "X11EmbedWindowID";
#endif

class IPlugView : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
    virtual tresult VST3_CALL isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult VST3_CALL attached(void* parent, FIDString type) = 0;
    virtual tresult VST3_CALL removed() = 0;
    virtual tresult VST3_CALL onWheel(float distance) = 0;
    virtual tresult VST3_CALL onKeyDown(char16 key, std::int16_t keyCode, std::int16_t modifiers) = 0;
    virtual tresult VST3_CALL onKeyUp(char16 key, std::int16_t keyCode, std::int16_t modifiers) = 0;
    virtual tresult VST3_CALL getSize(ViewRect* size) = 0;
    virtual tresult VST3_CALL onSize(ViewRect* size) = 0;
    virtual tresult VST3_CALL onFocus(TBool state) = 0;
    virtual tresult VST3_CALL setFrame(FUnknown* frame) = 0;
    virtual tresult VST3_CALL canResize() = 0;
    virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;
};

}  // namespace vst3
