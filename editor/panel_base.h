// The format-free half of the editor: holds the frame while the window is open, marks and
// runs updates, routes keys and the wheel to the frame, and runs the throttled idle pump
// that controls call while they track the mouse. Edits go to the panel's host.
#pragma once

#include <atomic>
#include <cstdint>

#include "gui/frame_owner.h"
#include "gui/geometry.h"

class Frame;
class PanelHost;

class PanelBase : public FrameOwner {
public:
    explicit PanelBase(PanelHost& host);
    virtual ~PanelBase();
    PanelBase(const PanelBase&) = delete;
    PanelBase& operator=(const PanelBase&) = delete;

    // Builds the panel in the parent window; false when there is nothing to show.
    virtual bool open(void* parent);
    virtual void close() {}
    virtual void idle();
    virtual void update() {}
    virtual void requestUpdate() { updateRequested = 1; }
    // Told after a parameter's value has been stored, from any thread.
    virtual void setParameter(int index, float value);

    // -1 when no view takes the key.
    int keyDown(KeyCode& key);
    int keyUp(KeyCode& key);
    bool wheel(float distance);
    void redraw();

    void beginEdit(int index) override;
    void endEdit(int index) override;
    void idlePump() override;

    // The panel's size in panel units; empty until the concrete panel knows it.
    const Rect& size() const { return size_; }
    // Device pixels per panel unit, for high-density screens: set before open, or while
    // open to resize the window and redraw. 1 unless set. A host's factor goes through
    // acceptedScale first: false (and no change) when it refuses it.
    bool setScale(double scale);
    // What a host's factor means for the panel: 0 for one that is not a number or not
    // above 0 (refused), else the factor clamped to kMinScale..kMaxScale.
    static double acceptedScale(double requested);
    static constexpr double kMinScale = 1.0;  // smaller would only blur the 100 % artwork
    static constexpr double kMaxScale = 4.0;  // twice the largest set, drawn up smoothly
    double scale() const { return scale_; }
    // The size in device pixels at that scale.
    Rect scaledSize() const;
    PanelHost& host() const { return host_; }
    Frame* getFrame() const { return frame; }
    void* getParentWindow() const { return parentWindow; }
    bool isUpdateRequested() const { return updateRequested.load() != 0; }
    bool insideHostIdle() const { return inHostIdle; }

protected:
    PanelHost& host_;
    void* parentWindow = nullptr;
    // Atomic: parameter changes may request an update from the audio thread.
    std::atomic<std::int32_t> updateRequested{0};
    Rect size_;
    double scale_ = 1.0;
    Frame* frame = nullptr;
    std::uint32_t nextIdleTicks = 0;
    bool inHostIdle = false;
};
