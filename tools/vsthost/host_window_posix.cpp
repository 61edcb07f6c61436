// Without X11 libraries there is no window to offer.
#include "tools/vsthost/host_window.h"

namespace vsthost {

struct HostWindow::Native {};

HostWindow::HostWindow() : native(nullptr) {}
HostWindow::~HostWindow() = default;
void* HostWindow::parent() const { return nullptr; }
void HostWindow::pump() {}

}  // namespace vsthost
