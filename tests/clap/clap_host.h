// A small CLAP host of our own for the tests: loads the built Hallmere.clap, creates
// instances through its factory, and supplies the event lists and streams a host hands over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plugin/clap/clap_abi.h"

namespace testhost {

using namespace clapabi;

// The module's entry, loaded once for the whole test program.
const PluginEntry& entry();
const PluginFactory& pluginFactory();

// What the plug-in told the host.
struct HostLog {
    int rescans = 0;
    int flushRequests = 0;
    std::vector<std::string> loaded, errors;
};

// Parameter events as a host sends them; `time`-ordered unless a test says otherwise.
class EventList {
public:
    void value(std::uint32_t time, Id id, double value);
    void add(const ParamValueEvent& event) { events_.push_back(event); }
    const InputEvents* list() const { return &list_; }
    std::size_t size() const { return events_.size(); }

private:
    static std::uint32_t CLAP_CALL sizeOf(const InputEvents* list);
    static const EventHeader* CLAP_CALL get(const InputEvents* list, std::uint32_t index);
    std::vector<ParamValueEvent> events_;
    InputEvents list_{this, sizeOf, get};
};

// The events the plug-in sends; refuses any beyond `capacity`.
class OutputList {
public:
    struct Sent {
        std::uint16_t type;
        Id id;
        double value;  // 0 for a gesture
        bool operator==(const Sent& o) const { return type == o.type && id == o.id && value == o.value; }
    };
    std::vector<Sent> sent;
    std::size_t capacity = 1 << 20;
    const OutputEvents* list() const { return &list_; }

private:
    static bool CLAP_CALL push(const OutputEvents* list, const EventHeader* event);
    OutputEvents list_{this, push};
};

// Host extensions a test adds to params and preset-load; `context` is the test's own.
struct HostAdditions {
    const void* (*extension)(const char* id) = nullptr;
    void* context = nullptr;
};

// One instance, initialised and active at 48 kHz.
class Instance {
public:
    explicit Instance(HostAdditions additions = {});
    static Instance& of(const Host* host) { return *static_cast<Instance*>(host->hostData); }
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    template <class T>
    const T& extension(const char* id) const {
        return *static_cast<const T*>(plugin->getExtension(plugin, id));
    }
    const PluginParams& params() const { return extension<PluginParams>(kParamsExt); }
    const PluginState& state() const { return extension<PluginState>(kStateExt); }
    double value(Id id) const;

    // Renders one block; in and out hold two channels of `frames` each (out may alias in).
    std::int32_t process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                         std::uint32_t frames, const EventList* events = nullptr, OutputList* out = nullptr);

    const Plugin* plugin = nullptr;
    HostLog log;
    const HostAdditions additions;

private:
    Host host_;
};

// A byte stream over memory; `limit` caps what one call moves, `claimExtra` makes a lying
// stream report more than it moved, `failAfter` fails once that many bytes have gone.
class MemoryStream {
public:
    explicit MemoryStream(std::vector<unsigned char> bytes = {}) : bytes(std::move(bytes)) {}
    MemoryStream(const MemoryStream& other)
        : bytes(other.bytes),
          position(other.position),
          limit(other.limit),
          claimExtra(other.claimExtra),
          failAfter(other.failAfter) {}
    MemoryStream& operator=(const MemoryStream&) = delete;
    const InputStream* in() const { return &in_; }
    const OutputStream* out() const { return &out_; }

    std::vector<unsigned char> bytes;
    std::size_t position = 0;
    std::uint64_t limit = 1u << 30;
    std::int64_t claimExtra = 0;
    std::size_t failAfter = ~std::size_t{0};

private:
    static std::int64_t CLAP_CALL read(const InputStream* stream, void* buffer, std::uint64_t size);
    static std::int64_t CLAP_CALL write(const OutputStream* stream, const void* buffer, std::uint64_t size);
    InputStream in_{this, read};
    OutputStream out_{this, write};
};

}  // namespace testhost
