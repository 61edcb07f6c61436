// A top-level window of the host's to open editors in, where the platform has a display;
// otherwise parent() is null and editors are opened without one, which a plug-in must
// refuse or survive.
#pragma once

namespace vsthost {

class HostWindow {
public:
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    void* parent() const;
    // Lets pending window-system events through, as a host's message loop would.
    void pump();

private:
    struct Native;
    Native* native;
};

}  // namespace vsthost
