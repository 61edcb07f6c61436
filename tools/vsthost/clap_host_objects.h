// What a CLAP host hands to the plug-in: byte streams for the state, and the event lists of
// a block. The lists live in fixed arrays, so that filling them on the audio thread
// allocates nothing; events beyond the capacity are dropped as a host would drop them.
#pragma once

#include "plugin/clap/clap_abi.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vsthost {

namespace abi = clapabi;

class ClapStream {
public:
    explicit ClapStream(std::vector<unsigned char> bytes = {}) : bytes(std::move(bytes)) {}
    ClapStream(const ClapStream&) = delete;
    ClapStream& operator=(const ClapStream&) = delete;

    const abi::InputStream* in() const { return &in_; }
    const abi::OutputStream* out() const { return &out_; }

    std::vector<unsigned char> bytes;
    std::size_t position = 0;

private:
    static std::int64_t CLAP_CALL read(const abi::InputStream* stream, void* buffer, std::uint64_t size) {
        auto* self = static_cast<ClapStream*>(stream->ctx);
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(size, self->bytes.size() - self->position));
        if (n > 0) std::memcpy(buffer, self->bytes.data() + self->position, n);
        self->position += n;
        return static_cast<std::int64_t>(n);
    }
    static std::int64_t CLAP_CALL write(const abi::OutputStream* stream, const void* buffer, std::uint64_t size) {
        auto* self = static_cast<ClapStream*>(stream->ctx);
        const auto* from = static_cast<const unsigned char*>(buffer);
        self->bytes.insert(self->bytes.end(), from, from + size);
        return static_cast<std::int64_t>(size);
    }

    abi::InputStream in_{this, read};
    abi::OutputStream out_{this, write};
};

// Parameter values for one block, kept in time order as the plug-in expects them; a value
// added at a time already held goes after the ones there.
class ClapEventList {
public:
    static constexpr std::uint32_t kCapacity = 256;

    ClapEventList() = default;
    ClapEventList(const ClapEventList&) = delete;
    ClapEventList& operator=(const ClapEventList&) = delete;

    bool add(std::uint32_t time, abi::Id id, double value) {
        if (count_ == kCapacity) return false;
        std::uint32_t at = count_;
        for (; at > 0 && events_[at - 1].header.time > time; --at) events_[at] = events_[at - 1];
        abi::ParamValueEvent& e = events_[at];
        e = {};
        e.header = {sizeof e, time, abi::kCoreEventSpace, abi::kEventParamValue, 0};
        e.paramId = id;
        e.noteId = -1;
        e.portIndex = e.channel = e.key = -1;
        e.value = value;
        ++count_;
        return true;
    }
    void clear() { count_ = 0; }
    std::uint32_t size() const { return count_; }
    const abi::InputEvents* list() const { return &list_; }

private:
    static std::uint32_t CLAP_CALL sizeOf(const abi::InputEvents* list) {
        return static_cast<const ClapEventList*>(list->ctx)->count_;
    }
    static const abi::EventHeader* CLAP_CALL get(const abi::InputEvents* list, std::uint32_t index) {
        const auto* self = static_cast<const ClapEventList*>(list->ctx);
        return index < self->count_ ? &self->events_[index].header : nullptr;
    }

    std::uint32_t count_ = 0;
    abi::ParamValueEvent events_[kCapacity];
    abi::InputEvents list_{this, sizeOf, get};
};

// What the plug-in sends back: counted, then dropped, as this host shows no automation lanes.
class ClapOutputList {
public:
    static constexpr std::uint32_t kCapacity = 256;

    ClapOutputList() = default;
    ClapOutputList(const ClapOutputList&) = delete;
    ClapOutputList& operator=(const ClapOutputList&) = delete;

    const abi::OutputEvents* list() const { return &list_; }
    std::uint32_t size() const { return count_; }
    void clear() { count_ = 0; }

private:
    static bool CLAP_CALL push(const abi::OutputEvents* list, const abi::EventHeader* event) {
        auto* self = static_cast<ClapOutputList*>(list->ctx);
        if (event == nullptr || self->count_ == kCapacity) return false;
        ++self->count_;
        return true;
    }

    std::uint32_t count_ = 0;
    abi::OutputEvents list_{this, push};
};

}  // namespace vsthost
