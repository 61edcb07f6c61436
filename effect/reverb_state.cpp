#include "effect/reverb_state.h"

#include <cmath>
#include <cstring>

namespace {

constexpr unsigned char kMagic[4] = {'H', 'm', 'S', 't'};

void put(unsigned char*& at, std::uint32_t value) {
    for (int byte = 0; byte < 4; ++byte) *at++ = static_cast<unsigned char>(value >> (8 * byte));
}

std::uint32_t get(const unsigned char*& at) {
    std::uint32_t value = 0;
    for (int byte = 0; byte < 4; ++byte) value |= static_cast<std::uint32_t>(*at++) << (8 * byte);
    return value;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// NaN and -0 are written as 0, so that every record written reads back as written.
float heldToUnit(float value) { return value > 0.0f ? std::fmin(value, 1.0f) : 0.0f; }

}  // namespace

void writeState(const ReverbState& state, unsigned char (&record)[kStateSize]) {
    std::memcpy(record, kMagic, sizeof kMagic);
    unsigned char* at = record + sizeof kMagic;
    put(at, kStateVersion);
    put(at, kStateSize);
    put(at, kProgramCount);
    put(at, kParameterCount);
    put(at, static_cast<std::uint32_t>(state.program));
    for (const auto& program : state.values)
        for (float value : program) put(at, bitsOf(heldToUnit(value)));
}

bool readState(const unsigned char* record, std::size_t size, ReverbState& state) {
    if (record == nullptr || size != kStateSize || std::memcmp(record, kMagic, sizeof kMagic) != 0) return false;
    const unsigned char* at = record + sizeof kMagic;
    if (get(at) != kStateVersion || get(at) != kStateSize || get(at) != kProgramCount || get(at) != kParameterCount)
        return false;
    const std::uint32_t program = get(at);
    if (program >= kProgramCount) return false;
    ReverbState read;
    read.program = static_cast<int>(program);
    for (auto& values : read.values) {
        for (float& value : values) {
            value = floatOf(get(at));
            if (!(value >= 0.0f && value <= 1.0f) || std::signbit(value)) return false;  // NaN and -0 fail too
        }
    }
    state = read;
    return true;
}

ReverbState captureState(const ReverbCore& core) {
    ReverbState state;
    state.program = core.program();
    for (int p = 0; p < kProgramCount; ++p)
        for (int i = 0; i < kParameterCount; ++i)
            state.values[p][i] = core.programAt(p).values[i].load(std::memory_order_relaxed);
    return state;
}

// The current program goes through the setters, so the engine hears of every change; the
// others are stored directly once they are no longer current.
void applyState(ReverbCore& core, const ReverbState& state) {
    core.setProgram(state.program);
    for (int p = 0; p < kProgramCount; ++p) {
        if (p == state.program) continue;
        for (int i = 0; i < kParameterCount; ++i)
            core.programAt(p).values[i].store(state.values[p][i], std::memory_order_relaxed);
    }
    for (int i = 0; i < kParameterCount; ++i) core.setParameter(i, state.values[state.program][i]);
}
