#include "tools/vsthost/vst3_frame.h"

#if !defined(_WIN32)
#include "tools/vsthost/poll_loop.h"
#include "tools/vsthost/window_loop.h"
#endif

#include <cstdint>

namespace vsthost {

#if !defined(_WIN32)
namespace {

// Every view of the process registers here, on the window thread; the keys are the view's
// handlers themselves.
PollLoop& windowLoop() {
    static PollLoop loop([](PollLoop::Key key) { reinterpret_cast<ITimerHandler*>(key)->onTimer(); },
                         [](PollLoop::Key key, int fd) { reinterpret_cast<IEventHandler*>(key)->onFDIsSet(fd); });
    return loop;
}

PollLoop::Key keyOf(void* handler) { return reinterpret_cast<PollLoop::Key>(handler); }

}  // namespace

void runWindowLoop() { windowLoop().runOnce(0); }

tresult ViewFrame::registerEventHandler(IEventHandler* handler, FileDescriptor fd) {
    if (!handler || fd < 0) return kInvalidArgument;
    windowLoop().addDescriptor(keyOf(handler), fd);
    return kResultOk;
}

tresult ViewFrame::unregisterEventHandler(IEventHandler* handler) {
    bool found = false;
    while (windowLoop().removeDescriptor(keyOf(handler))) found = true;
    return found ? kResultOk : kInvalidArgument;
}

tresult ViewFrame::registerTimer(ITimerHandler* handler, TimerInterval milliseconds) {
    if (!handler || milliseconds == 0) return kInvalidArgument;
    windowLoop().addTimer(keyOf(handler), static_cast<unsigned>(milliseconds));
    return kResultOk;
}

tresult ViewFrame::unregisterTimer(ITimerHandler* handler) {
    bool found = false;
    while (windowLoop().removeTimer(keyOf(handler))) found = true;
    return found ? kResultOk : kInvalidArgument;
}
#endif

tresult ViewFrame::queryInterface(const TUID iid, void** object) {
    if (!object) return kInvalidArgument;
    if (FUnknown::iid == iid || IPlugFrame::iid == iid) {
        *object = static_cast<IPlugFrame*>(this);
#if !defined(_WIN32)
    } else if (IRunLoop::iid == iid) {
        *object = static_cast<IRunLoop*>(this);
#endif
    } else {
        *object = nullptr;
        return kNoInterface;
    }
    return kResultOk;
}

// The tool's windows have the size the view gave when it opened; only that size is agreed.
tresult ViewFrame::resizeView(IPlugView* view, ViewRect* newSize) {
    ViewRect own{};
    if (!view || !newSize || view->getSize(&own) != kResultOk) return kInvalidArgument;
    if (newSize->right - newSize->left != own.right - own.left ||
        newSize->bottom - newSize->top != own.bottom - own.top)
        return kResultFalse;
    return view->onSize(newSize);
}

}  // namespace vsthost
