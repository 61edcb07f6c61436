#include "plugin/clap/clap_panel.h"

#include <cstring>
#include <new>

#include "editor/panel_layout.h"
#include "plugin/clap/hallmere_clap.h"

#if !defined(_WIN32)
#include "gui/frame_window_x11.h"
#endif

namespace clapplug {

using namespace clapabi;

namespace {

#if defined(_WIN32)
constexpr const char* kOwnApi = kWindowApiWin32;
#else
constexpr const char* kOwnApi = kWindowApiX11;
#endif

bool isOwnApi(const char* api, bool isFloating) { return !isFloating && api && std::strcmp(api, kOwnApi) == 0; }

#if !defined(_WIN32)
// The host's main loop serves the panel: a timer for the idle, the display connection's
// descriptor so that presses and exposures are handled as they arrive.
class HostLoopPump final : public PanelPump {
public:
    HostLoopPump(const Host* host, const HostTimerSupport* timers, const HostPosixFdSupport* fds)
        : host_(host), timers_(timers), fds_(fds) {}

    bool start(int descriptor) {
        timing_ = timers_->registerTimer(host_, kPanelIdleMillis, &timer_);
        if (descriptor >= 0 && fds_ && fds_->registerFd && fds_->registerFd(host_, descriptor, kPosixFdRead))
            descriptor_ = descriptor;
        return timing_;
    }

    ~HostLoopPump() override {
        if (descriptor_ >= 0) fds_->unregisterFd(host_, descriptor_);
        if (timing_) timers_->unregisterTimer(host_, timer_);
    }

    bool owns(Id timer) const { return timing_ && timer == timer_; }
    bool watches(int descriptor) const { return descriptor_ >= 0 && descriptor == descriptor_; }

private:
    const Host* host_;
    const HostTimerSupport* timers_;
    const HostPosixFdSupport* fds_;
    Id timer_ = kInvalidId;
    bool timing_ = false;
    int descriptor_ = -1;
};

#endif

template <class Extension>
const Extension* hostExtension(const Host* host, const char* id) {
    return host && host->getExtension ? static_cast<const Extension*>(host->getExtension(host, id)) : nullptr;
}

ClapPanel* panelOf(const Plugin* plugin) {
    HallmereClap* p = HallmereClap::of(plugin);
    return p ? p->panel() : nullptr;
}

bool CLAP_CALL isApiSupported(const Plugin* plugin, const char* api, bool isFloating) {
    return HallmereClap::of(plugin) && isOwnApi(api, isFloating);
}

bool CLAP_CALL preferredApi(const Plugin* plugin, const char** api, bool* isFloating) {
    if (!HallmereClap::of(plugin) || api == nullptr || isFloating == nullptr) return false;
    *api = kOwnApi;
    *isFloating = false;
    return true;
}

bool CLAP_CALL create(const Plugin* plugin, const char* api, bool isFloating) {
    HallmereClap* p = HallmereClap::of(plugin);
    if (!p || p->panel() || !isOwnApi(api, isFloating)) return false;
    p->setPanel(std::unique_ptr<ClapPanel>(new (std::nothrow) ClapPanel(*p)));
    return p->panel() != nullptr;
}

void CLAP_CALL destroy(const Plugin* plugin) {
    if (HallmereClap* p = HallmereClap::of(plugin)) p->setPanel(nullptr);
}

// Both window apis the panel knows (X11, win32) size windows in physical pixels, so the
// host's factor applies; one that is not a number above 0 is refused, the rest clamped.
bool CLAP_CALL setScale(const Plugin* plugin, double scale) {
    ClapPanel* panel = panelOf(plugin);
    return panel && panel->setScale(scale);
}

bool CLAP_CALL getSize(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    ClapPanel* panel = panelOf(plugin);
    if (!panel || width == nullptr || height == nullptr) return false;
    const Rect size = panel->scaledPanelSize();
    *width = std::uint32_t(size.width());
    *height = std::uint32_t(size.height());
    return true;
}

bool CLAP_CALL canResize(const Plugin*) { return false; }

bool CLAP_CALL resizeHints(const Plugin* plugin, GuiResizeHints* hints) {
    if (!panelOf(plugin) || hints == nullptr) return false;
    *hints = GuiResizeHints{false, false, true, panel::kWidth, panel::kHeight};
    return true;
}

bool CLAP_CALL adjustSize(const Plugin* plugin, std::uint32_t* width, std::uint32_t* height) {
    return getSize(plugin, width, height);
}

bool CLAP_CALL setSize(const Plugin* plugin, std::uint32_t width, std::uint32_t height) {
    std::uint32_t ownWidth = 0, ownHeight = 0;
    return getSize(plugin, &ownWidth, &ownHeight) && width == ownWidth && height == ownHeight;
}

bool CLAP_CALL setParent(const Plugin* plugin, const WindowRef* window) {
    ClapPanel* panel = panelOf(plugin);
    return panel && window && panel->setParent(*window);
}

bool CLAP_CALL setTransient(const Plugin*, const WindowRef*) { return false; }
void CLAP_CALL suggestTitle(const Plugin*, const char*) {}

bool CLAP_CALL show(const Plugin* plugin) {
    ClapPanel* panel = panelOf(plugin);
    return panel && panel->show();
}

bool CLAP_CALL hide(const Plugin* plugin) {
    ClapPanel* panel = panelOf(plugin);
    if (panel) panel->hide();
    return panel != nullptr;
}

const PluginGui kGui = {isApiSupported, preferredApi, create,       destroy,    setScale,
                        getSize,        canResize,    resizeHints,  adjustSize, setSize,
                        setParent,      setTransient, suggestTitle, show,       hide};

#if !defined(_WIN32)
void CLAP_CALL onTimer(const Plugin* plugin, Id timer) {
    if (ClapPanel* panel = panelOf(plugin)) panel->onTimer(timer);
}
const PluginTimerSupport kTimerSupport = {onTimer};

void CLAP_CALL onFd(const Plugin* plugin, int descriptor, std::uint32_t) {
    if (ClapPanel* panel = panelOf(plugin)) panel->onFd(descriptor);
}
const PluginPosixFdSupport kPosixFdSupport = {onFd};
#endif

}  // namespace

const void* panelExtension(const char* id) {
    if (std::strcmp(id, kGuiExt) == 0) return &kGui;
#if !defined(_WIN32)
    if (std::strcmp(id, kTimerSupportExt) == 0) return &kTimerSupport;
    if (std::strcmp(id, kPosixFdSupportExt) == 0) return &kPosixFdSupport;
#endif
    return nullptr;
}

// The pump goes before the panel: the descriptor closes with the last panel window.
ClapPanel::~ClapPanel() {
    pump_.reset();
    close();
}

bool ClapPanel::setParent(const WindowRef& window) {
    if (!isOwnApi(window.api, false)) return false;
#if defined(_WIN32)
    return open(window.win32);
#else
    return open(reinterpret_cast<void*>(window.x11));
#endif
}

bool ClapPanel::setScale(double scale) {
    const double before = panelScale();
    if (!setPanelScale(scale)) return false;
    // An open window has resized itself; the host's window follows when it is asked.
    const auto* gui = hostExtension<HostGui>(plugin_.host(), kGuiExt);
    if (isOpen() && panelScale() != before && gui && gui->requestResize) {
        const Rect size = scaledPanelSize();
        gui->requestResize(plugin_.host(), std::uint32_t(size.width()), std::uint32_t(size.height()));
    }
    return true;
}

bool ClapPanel::show() {
    if (!isOpen()) return false;
    if (pump_) return true;
#if defined(_WIN32)
    pump_.reset(startWindowTimerPump(*this, panelWindow()));
#else
    const Host* host = plugin_.host();
    const auto* timers = hostExtension<HostTimerSupport>(host, kTimerSupportExt);
    if (timers == nullptr || timers->registerTimer == nullptr || timers->unregisterTimer == nullptr) return false;
    const auto* fds = hostExtension<HostPosixFdSupport>(host, kPosixFdSupportExt);
    if (fds && fds->unregisterFd == nullptr) fds = nullptr;
    auto* pump = new (std::nothrow) HostLoopPump(host, timers, fds);
    if (pump != nullptr && !pump->start(x11FrameConnection())) {
        delete pump;
        pump = nullptr;
    }
    pump_.reset(pump);
#endif
    return pump_ != nullptr;
}

#if !defined(_WIN32)
void ClapPanel::onTimer(Id timer) {
    if (pump_ && static_cast<HostLoopPump*>(pump_.get())->owns(timer)) idle();
}

void ClapPanel::onFd(int descriptor) {
    if (pump_ && static_cast<HostLoopPump*>(pump_.get())->watches(descriptor)) idle();
}
#endif

float ClapPanel::parameterValue(int index) {
    return isParameterIndex(index) ? plugin_.core().getParameter(index) : 0.0f;
}

void ClapPanel::beginEdit(int index) { plugin_.beginEdit(index); }

void ClapPanel::performEdit(int index, float value) {
    if (!isParameterIndex(index)) return;
    plugin_.performEdit(index, value);
    showStored(index);
}

void ClapPanel::endEdit(int index) { plugin_.endEdit(index); }

float ClapPanel::takeMeterPeak() { return plugin_.core().takePanelPeak(); }

int ClapPanel::panelGateState() { return plugin_.core().gateState(); }

}  // namespace clapplug
