#include "plugin/vst3/view_pump.h"

#include <new>

#include "gui/frame_window_x11.h"

namespace vst3 {

namespace {

class RunLoopPump final : public PanelPump, public IEventHandler, public ITimerHandler {
public:
    RunLoopPump(PanelIdle& idle, IRunLoop* loop) : idle_(idle), loop_(loop) {}

    bool start(int descriptor) {
        timing_ = loop_->registerTimer(this, kPanelIdleMillis) == kResultOk;
        watching_ = descriptor >= 0 && loop_->registerEventHandler(this, descriptor) == kResultOk;
        return timing_;
    }

    ~RunLoopPump() override {
        if (watching_) loop_->unregisterEventHandler(this);
        if (timing_) loop_->unregisterTimer(this);
        loop_->release();
    }

    tresult VST3_CALL queryInterface(const TUID iid, void** object) override {
        if (object == nullptr) return kInvalidArgument;
        if (FUnknown::iid == iid || IEventHandler::iid == iid)
            *object = static_cast<IEventHandler*>(this);
        else if (ITimerHandler::iid == iid)
            *object = static_cast<ITimerHandler*>(this);
        else
            *object = nullptr;
        return *object ? kResultOk : kNoInterface;
    }
    // The view owns the pump and unregisters it before it goes; the loop's references count
    // for nothing.
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }

    void VST3_CALL onTimer() override { idle_.idle(); }
    void VST3_CALL onFDIsSet(FileDescriptor) override { idle_.idle(); }

private:
    PanelIdle& idle_;
    IRunLoop* loop_;
    bool timing_ = false;
    bool watching_ = false;
};

}  // namespace

PanelPump* startRunLoopPump(PanelIdle& idle, IPlugFrame* frame) {
    IRunLoop* loop = nullptr;
    if (frame == nullptr || frame->queryInterface(IRunLoop::iid.bytes, reinterpret_cast<void**>(&loop)) != kResultOk ||
        loop == nullptr)
        return nullptr;
    auto* pump = new (std::nothrow) RunLoopPump(idle, loop);
    if (pump == nullptr) {
        loop->release();
        return nullptr;
    }
    if (!pump->start(x11FrameConnection())) {
        delete pump;
        return nullptr;
    }
    return pump;
}

}  // namespace vst3
