// The CLAP state loader, as a host's stream feeds it: the first byte sets how much each read
// hands over, the rest is the stream. A stream it accepts is applied whole (saving gives its
// record back); one it refuses changes nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effect/reverb_state.h"
#include "plugin/clap/hallmere_clap.h"

namespace {

struct Bytes {
    const std::uint8_t* data;
    std::size_t size, position, piece;
};

std::int64_t CLAP_CALL readBytes(const clapabi::InputStream* stream, void* into, std::uint64_t size) {
    auto* b = static_cast<Bytes*>(stream->ctx);
    const std::size_t n = std::min<std::size_t>({static_cast<std::size_t>(size), b->piece, b->size - b->position});
    std::memcpy(into, b->data + b->position, n);
    b->position += n;
    return static_cast<std::int64_t>(n);
}

std::int64_t CLAP_CALL writeBytes(const clapabi::OutputStream* stream, const void* from, std::uint64_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(stream->ctx);
    const auto* bytes = static_cast<const std::uint8_t*>(from);
    out->insert(out->end(), bytes, bytes + size);
    return static_cast<std::int64_t>(size);
}

std::vector<std::uint8_t> saved(const clapplug::HallmereClap& plugin) {
    std::vector<std::uint8_t> bytes;
    const clapabi::OutputStream stream{&bytes, writeBytes};
    if (!plugin.saveState(&stream)) std::abort();
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const clapabi::Host host{clapabi::kVersion, nullptr, "fuzz",  "",     "", "1",
                                    nullptr,           nullptr, nullptr, nullptr};
    static clapplug::HallmereClap plugin(&host);  // an engine's buffers per input would dwarf the reading
    Bytes bytes{data + 1, size - 1, 0, static_cast<std::size_t>(data[0] % 64) + 1};
    const clapabi::InputStream stream{&bytes, readBytes};
    const std::vector<std::uint8_t> before = saved(plugin);
    const bool accepted = plugin.loadState(&stream);
    const std::vector<std::uint8_t> after = saved(plugin);
    if (accepted ? std::memcmp(after.data(), data + 1, kStateSize) != 0 : after != before) std::abort();
    return 0;
}
