// The VST 3 binary interface of a plug-in's window: the view the host embeds, the frame the
// host gives it, and on Linux the host's run loop that serves the view's timer and file
// descriptors. Written from the published interface facts; only what Hallmere uses.
#pragma once

#include "plugin/vst3/vst3_base.h"

#include "plugin/vst3/vst3_pack_begin.h"

namespace vst3 {

constexpr const char* kPlatformTypeHWND = "HWND";
constexpr const char* kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";

// The view's name for the editor in createView.
constexpr const char* kEditorViewName = "editor";

// The virtual key codes of the four arrows, in this order, and the Shift modifier bit.
constexpr std::int16_t kKeyLeft = 11;
constexpr std::int16_t kKeyDown = 14;
constexpr std::int16_t kShiftKey = 1 << 0;

struct ViewRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
};

class IPlugFrame;

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
    virtual tresult VST3_CALL onSize(ViewRect* newSize) = 0;
    virtual tresult VST3_CALL onFocus(TBool state) = 0;
    virtual tresult VST3_CALL setFrame(IPlugFrame* frame) = 0;
    virtual tresult VST3_CALL canResize() = 0;
    virtual tresult VST3_CALL checkSizeConstraint(ViewRect* rect) = 0;
};

class IPlugFrame : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
    virtual tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) = 0;
};

// Asked of the view: the host's scale factor for its content, before or after attached and
// whenever it changes; the view answers with its size at that factor.
class IPlugViewContentScaleSupport : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
    virtual tresult VST3_CALL setContentScaleFactor(float factor) = 0;
};

// Linux only: the host's run loop, found through the IPlugFrame.
using TimerInterval = std::uint64_t;
using FileDescriptor = int;

class IEventHandler : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
    virtual void VST3_CALL onFDIsSet(FileDescriptor fd) = 0;
};

class ITimerHandler : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
    virtual void VST3_CALL onTimer() = 0;
};

class IRunLoop : public FUnknown {
public:
    static constexpr Uid iid = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
    virtual tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
    virtual tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
    virtual tresult VST3_CALL unregisterTimer(ITimerHandler* handler) = 0;
};

static_assert(sizeof(ViewRect) == 16, "view rectangle layout");

}  // namespace vst3

#include "plugin/vst3/vst3_pack_end.h"
