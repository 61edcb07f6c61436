// What the VST 3 host hands to the edit controller and its view: a component handler that
// records the edits the panel reports, and the frame a view lives in, which keeps the size
// the view has and, under X11, answers for the window thread's run loop.
#pragma once

#include "plugin/vst3/vst3_view.h"
#include "tools/vsthost/instance.h"
#include "tools/vsthost/vst3_host_objects.h"

#include <functional>
#include <mutex>
#include <vector>

namespace vsthost {

// Edits arrive on the window thread; the session reads them from the script thread. Each
// value performed goes on to `performed`, by the instance's index for the parameter id.
class EditRecorder final : public HostObject<IComponentHandler> {
public:
    EditRecorder(std::function<int(ParamID)> indexOf, std::function<void(int, double)> performed)
        : indexOf_(std::move(indexOf)), performed_(std::move(performed)) {}

    tresult VST3_CALL beginEdit(ParamID id) override { return note("begin", id, 0.0); }
    tresult VST3_CALL performEdit(ParamID id, ParamValue value) override {
        performed_(indexOf_(id), value);
        return note("perform", id, value);
    }
    tresult VST3_CALL endEdit(ParamID id) override { return note("end", id, 0.0); }
    tresult VST3_CALL restartComponent(std::int32_t) override { return kResultOk; }

    std::vector<EditEvent> edits() const {
        std::lock_guard<std::mutex> guard(lock_);
        return edits_;
    }

private:
    tresult note(const char* kind, ParamID id, ParamValue value) {
        std::lock_guard<std::mutex> guard(lock_);
        edits_.push_back({kind, indexOf_(id), value});
        return kResultOk;
    }

    std::function<int(ParamID)> indexOf_;
    std::function<void(int, double)> performed_;
    mutable std::mutex lock_;
    std::vector<EditEvent> edits_;
};

class ViewFrame final : public IPlugFrame
#if !defined(_WIN32)
    ,
                        public IRunLoop
#endif
{
public:
    tresult VST3_CALL queryInterface(const TUID iid, void** object) override;
    // Lives as long as the instance, which removes the view before it goes.
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }

    tresult VST3_CALL resizeView(IPlugView* view, ViewRect* newSize) override;

#if !defined(_WIN32)
    tresult VST3_CALL registerEventHandler(IEventHandler* handler, FileDescriptor fd) override;
    tresult VST3_CALL unregisterEventHandler(IEventHandler* handler) override;
    tresult VST3_CALL registerTimer(ITimerHandler* handler, TimerInterval milliseconds) override;
    tresult VST3_CALL unregisterTimer(ITimerHandler* handler) override;
#endif
};

}  // namespace vsthost
