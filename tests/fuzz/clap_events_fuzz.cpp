// The CLAP plug-in's block: any buffers shape and any list of events, through process and
// flush. Every value the host reads afterwards lies in its range and a rendered output is
// finite.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "plugin/clap/hallmere_clap.h"

namespace {

using namespace clapabi;

// Each event takes 16 input bytes: time (2), id, type, flags (space, size), 3 spare, value (8).
constexpr std::size_t kEventBytes = 16;

struct Events {
    std::vector<ParamValueEvent> list;
};

std::uint32_t CLAP_CALL countOf(const InputEvents* in) {
    return static_cast<std::uint32_t>(static_cast<const Events*>(in->ctx)->list.size());
}

const EventHeader* CLAP_CALL eventAt(const InputEvents* in, std::uint32_t i) {
    const auto& list = static_cast<const Events*>(in->ctx)->list;
    return i < list.size() ? &list[i].header : nullptr;
}

bool CLAP_CALL refuse(const OutputEvents*, const EventHeader*) { return false; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    static const Host host{kVersion, nullptr, "fuzz", "", "", "1", nullptr, nullptr, nullptr, nullptr};
    static clapplug::HallmereClap plugin(&host);
    static const bool ready = plugin.init() && plugin.activate(48000.0, 1024);
    if (!ready) std::abort();

    const std::uint32_t frames = (data[0] | data[1] << 8) % 1100;  // some longer than promised
    const std::uint32_t inChannels = data[2] % 3, outChannels = (data[2] / 3) % 3;
    const bool nullData = (data[3] & 1) != 0, inPlace = (data[3] & 2) != 0;
    Events events;
    for (std::size_t at = 4; at + kEventBytes <= size; at += kEventBytes) {
        const std::uint8_t* b = data + at;
        ParamValueEvent e{};
        e.header.time = static_cast<std::uint32_t>(b[0] | b[1] << 8);
        e.header.type = b[3] % 10;
        e.header.spaceId = (b[4] & 1) ? 1 : kCoreEventSpace;
        e.header.size = (b[4] & 2) ? sizeof(EventHeader) : sizeof e;
        e.paramId = b[2] == 255 ? kInvalidId : b[2] % 16;
        std::memcpy(&e.value, b + 8, sizeof e.value);
        events.list.push_back(e);
    }
    std::vector<float> left(frames, 0.25f), right(frames, -0.25f), outLeft(frames), outRight(frames);
    if (frames > 0) left[0] = std::nanf(""), right[frames / 2] = 1e30f;
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {inPlace ? left.data() : outLeft.data(), inPlace ? right.data() : outRight.data()};
    AudioBuffer in{nullData ? nullptr : inputs, nullptr, inChannels, 0, 0};
    AudioBuffer out{outputs, nullptr, outChannels, 0, 0};
    const InputEvents list{&events, countOf, eventAt};
    const OutputEvents refused{nullptr, refuse};
    const Process p{0, frames, nullptr, &in, &out, 1, 1, &list, &refused};
    const bool rendered = plugin.process(p) != kProcessError;  // refused blocks stay as they were
    plugin.flush(&list, &refused);

    for (int i = 0; i < kParameterCount; ++i) {
        double value;
        const ParameterRange& r = parameterTable[i].range;
        if (!plugin.getValue(static_cast<Id>(i), value) || !(value >= r.min && value <= r.max)) std::abort();
    }
    for (std::uint32_t f = 0; rendered && outChannels == 2 && f < frames; ++f)
        if (!std::isfinite(outputs[0][f]) || !std::isfinite(outputs[1][f])) std::abort();
    return 0;
}
