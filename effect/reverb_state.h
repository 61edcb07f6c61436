// The saved settings of the reverb, one record for every format that saves state (VST 3,
// CLAP): the current program and the values of all eight programs. Little-endian 32-bit
// fields, packed byte by byte, so every build reads what any other wrote:
//   "HmSt", version 1, record size in bytes, program count, parameter count, current
//   program, then program 0's thirteen values, program 1's, ... as IEEE 754 single bits.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effect/reverb_core.h"

constexpr std::uint32_t kStateVersion = 1;
constexpr std::size_t kStateHeaderSize = 24;
constexpr std::size_t kStateSize = kStateHeaderSize + 4 * kProgramCount * kParameterCount;

struct ReverbState {
    int program = 0;
    float values[kProgramCount][kParameterCount] = {};
};

// Values outside 0..1 (only a VST 2.x host can store one) are written held to 0..1, NaN and -0
// as 0.
void writeState(const ReverbState& state, unsigned char (&record)[kStateSize]);

// True only for a record this version wrote: exactly kStateSize bytes, magic, version, size
// and counts as written, a program in range, every value finite and in 0..1 (-0 excluded).
// Anything else leaves `state` untouched.
bool readState(const unsigned char* record, std::size_t size, ReverbState& state);

// Any thread, as the core's setters: the state the core holds, and the core set to a state.
ReverbState captureState(const ReverbCore& core);
void applyState(ReverbCore& core, const ReverbState& state);
