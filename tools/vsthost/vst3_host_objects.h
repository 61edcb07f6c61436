// What a VST 3 host hands to the plug-in: a byte stream for the state, and parameter
// changes. The changes live in fixed arrays, so that filling them on the audio thread
// allocates nothing; points beyond the capacity are refused as a host would drop them.
#pragma once

#include "plugin/vst3/vst3_audio.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace vsthost {

using namespace vst3;

// Not reference counted: each lives as long as the host object that owns it.
template <class Interface>
class HostObject : public Interface {
public:
    tresult VST3_CALL queryInterface(const TUID iid, void** object) override {
        const bool known = FUnknown::iid == iid || Interface::iid == iid;
        *object = known ? this : nullptr;
        return known ? kResultOk : kNoInterface;
    }
    std::uint32_t VST3_CALL addRef() override { return 1; }
    std::uint32_t VST3_CALL release() override { return 1; }
};

class MemoryStream final : public HostObject<IBStream> {
public:
    explicit MemoryStream(std::vector<unsigned char> bytes = {}) : bytes(std::move(bytes)) {}

    tresult VST3_CALL read(void* buffer, std::int32_t count, std::int32_t* done) override {
        if (count < 0) return kInvalidArgument;
        const std::size_t n = std::min(static_cast<std::size_t>(count), bytes.size() - position);
        if (n > 0) std::memcpy(buffer, bytes.data() + position, n);
        position += n;
        if (done) *done = static_cast<std::int32_t>(n);
        return kResultOk;
    }
    tresult VST3_CALL write(void* buffer, std::int32_t count, std::int32_t* done) override {
        if (count < 0) return kInvalidArgument;
        const auto* from = static_cast<const unsigned char*>(buffer);
        if (position + count > bytes.size()) bytes.resize(position + count);
        std::copy(from, from + count, bytes.begin() + static_cast<std::ptrdiff_t>(position));
        position += static_cast<std::size_t>(count);
        if (done) *done = count;
        return kResultOk;
    }
    tresult VST3_CALL seek(std::int64_t to, std::int32_t mode, std::int64_t* result) override {
        const std::int64_t base = mode == kSeekSet       ? 0
                                  : mode == kSeekCurrent ? static_cast<std::int64_t>(position)
                                                         : static_cast<std::int64_t>(bytes.size());
        if (base + to < 0 || base + to > static_cast<std::int64_t>(bytes.size())) return kInvalidArgument;
        position = static_cast<std::size_t>(base + to);
        if (result) *result = static_cast<std::int64_t>(position);
        return kResultOk;
    }
    tresult VST3_CALL tell(std::int64_t* at) override {
        if (at) *at = static_cast<std::int64_t>(position);
        return kResultOk;
    }

    std::vector<unsigned char> bytes;
    std::size_t position = 0;
};

class ChangeQueue final : public HostObject<IParamValueQueue> {
public:
    static constexpr std::int32_t kMaxPoints = 32;

    ParamID VST3_CALL getParameterId() override { return id; }
    std::int32_t VST3_CALL getPointCount() override { return count; }
    tresult VST3_CALL getPoint(std::int32_t index, std::int32_t& offset, ParamValue& value) override {
        if (index < 0 || index >= count) return kInvalidArgument;
        offset = offsets[index];
        value = values[index];
        return kResultOk;
    }
    // Kept in offset order; a second point at the same offset replaces the first.
    tresult VST3_CALL addPoint(std::int32_t offset, ParamValue value, std::int32_t& index) override {
        std::int32_t at = 0;
        while (at < count && offsets[at] < offset) ++at;
        if (at == count || offsets[at] != offset) {
            if (count == kMaxPoints) return kResultFalse;
            for (std::int32_t i = count++; i > at; --i) offsets[i] = offsets[i - 1], values[i] = values[i - 1];
        }
        offsets[at] = offset;
        values[at] = value;
        index = at;
        return kResultOk;
    }

    ParamID id = 0;
    std::int32_t count = 0;
    std::int32_t offsets[kMaxPoints] = {};
    ParamValue values[kMaxPoints] = {};
};

class ChangeList final : public HostObject<IParameterChanges> {
public:
    static constexpr std::int32_t kMaxQueues = 64;

    std::int32_t VST3_CALL getParameterCount() override { return count; }
    IParamValueQueue* VST3_CALL getParameterData(std::int32_t index) override {
        return index >= 0 && index < count ? &queues[index] : nullptr;
    }
    IParamValueQueue* VST3_CALL addParameterData(const ParamID& id, std::int32_t& index) override {
        for (index = 0; index < count; ++index)
            if (queues[index].id == id) return &queues[index];
        if (count == kMaxQueues) return nullptr;
        queues[count].id = id;
        queues[count].count = 0;
        return &queues[count++];
    }

    void add(ParamID id, std::int32_t offset, ParamValue value) {
        std::int32_t index;
        if (IParamValueQueue* queue = addParameterData(id, index)) queue->addPoint(offset, value, index);
    }
    void clear() { count = 0; }

private:
    std::int32_t count = 0;
    std::array<ChangeQueue, kMaxQueues> queues;
};

}  // namespace vsthost
