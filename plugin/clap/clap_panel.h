// The reverb's panel for the CLAP gui extension, embedded in the host's window. Its edits go
// through the plug-in's edit queue, so the host hears them from the next process or flush;
// values the host sends move the controls at the next idle. Main thread only. Under X11 the
// host's timer-support runs the idle and its posix-fd-support the display connection; on
// Windows a timer of the panel's window does both.
#pragma once

#include <memory>

#include "editor/embedded_panel.h"
#include "plugin/clap/clap_abi.h"

namespace clapplug {

class HallmereClap;

class ClapPanel final : public EmbeddedPanel {
public:
    explicit ClapPanel(HallmereClap& plugin) : plugin_(plugin) {}
    ~ClapPanel();
    ClapPanel(const ClapPanel&) = delete;
    ClapPanel& operator=(const ClapPanel&) = delete;

    // The window must be of the platform's api; the panel opens in it, once.
    bool setParent(const clapabi::WindowRef& window);
    // The host's scale factor; false when refused. Open, the host is asked for the new size.
    bool setScale(double scale);
    // Idles while shown; hidden, nothing runs.
    bool show();
    void hide() { pump_.reset(); }
    bool isShown() const { return pump_ != nullptr; }
#if !defined(_WIN32)
    // The host's main loop, for the pump's timer and descriptor; others are passed over.
    void onTimer(clapabi::Id timer);
    void onFd(int descriptor);
#endif

    float parameterValue(int index) override;
    void beginEdit(int index) override;
    void performEdit(int index, float value) override;
    void endEdit(int index) override;
    float takeMeterPeak() override;
    int panelGateState() override;

private:
    HallmereClap& plugin_;
    std::unique_ptr<PanelPump> pump_;
};

// The gui extension and, under X11, the timer and descriptor callbacks; null for other ids.
const void* panelExtension(const char* id);

}  // namespace clapplug
