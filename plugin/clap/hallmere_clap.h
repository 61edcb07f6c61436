// The reverb as a CLAP plug-in: the core behind the plug-in struct and its extensions.
// Parameter ids are the table's indices and values travel in the table's physical units
// (ms, Hz, dB, %; Dry out 0 or 1). Main-thread calls (parameter info and texts, state,
// presets) touch only the core's any-thread setters and getters; process and flush run on
// one thread at a time and never wait.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "effect/reverb_core.h"
#include "plugin/clap/clap_abi.h"
#include "plugin/clap/edit_queue.h"

namespace clapplug {

const clapabi::PluginDescriptor& descriptor();

class ClapPanel;

class HallmereClap {
public:
    explicit HallmereClap(const clapabi::Host* host);
    ~HallmereClap();
    HallmereClap(const HallmereClap&) = delete;
    HallmereClap& operator=(const HallmereClap&) = delete;

    const clapabi::Plugin* plugin() const { return &plugin_; }
    static HallmereClap* of(const clapabi::Plugin* plugin);  // null for a foreign or null struct

    // The panel's seam: each edit sets the value at once and reaches the host as a gesture
    // begin, values and a gesture end from the next process or flush. Main thread.
    void beginEdit(int index);
    void performEdit(int index, float normalised);
    void endEdit(int index);

    // Plain values of the table's parameters; non-finite values give false.
    static bool plainToNormalised(int index, double plain, float& normalised);
    static double normalisedToPlain(int index, float normalised);

    bool init();
    bool activate(double sampleRate, std::uint32_t maxFrames);
    void reset() { core_.resume(); }
    std::int32_t process(const clapabi::Process& process);
    void flush(const clapabi::InputEvents* in, const clapabi::OutputEvents* out);
    bool saveState(const clapabi::OutputStream* stream) const;
    bool loadState(const clapabi::InputStream* stream);
    std::uint32_t tailFrames() const;
    bool loadPreset(std::uint32_t kind, const char* loadKey);
    bool getValue(clapabi::Id id, double& value) const;

    ReverbCore& core() { return core_; }
    const clapabi::Host* host() const { return host_; }
    // The gui extension's panel, while the host has one created. Main thread.
    ClapPanel* panel() const { return panel_.get(); }
    void setPanel(std::unique_ptr<ClapPanel> panel);

private:
    struct Wiring {
        const float* in[2];
        float* out[2];
    };

    // Audio thread (or flush).
    void applyEvents(const clapabi::InputEvents* in, std::uint32_t from, std::uint32_t count);
    void sendEdits(const clapabi::OutputEvents* out, std::uint32_t time);
    void silenceOutputs(const clapabi::Process& process);
    void askHostToFlush() const;

    clapabi::Plugin plugin_;
    const clapabi::Host* host_;
    const clapabi::HostParams* hostParams_ = nullptr;
    const clapabi::HostPresetLoad* hostPresetLoad_ = nullptr;
    ReverbCore core_;
    std::atomic<double> sampleRate_{kStartSampleRate};
    std::uint32_t maxFrames_ = 0;  // the longest block the host promised; none before activation

    // The panel's edits on their way out. A value that found the queue full is marked here and
    // sent with its latest value, an end likewise after them; a gesture whose begin was
    // refused loses its end too.
    EditQueue<256> edits_;
    std::atomic<std::uint32_t> resend_{0};
    std::atomic<std::uint32_t> endsOwed_{0};
    std::uint32_t gesturesLost_ = 0;  // the panel's thread only

    // Last, so that it goes first: it edits through everything above.
    std::unique_ptr<ClapPanel> panel_;
};

}  // namespace clapplug
