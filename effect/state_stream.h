// The state record through a host's byte stream, the same for every format: at most the
// record's bytes, in a loop bounded by the record's size. A stream that fails, ends early or
// reports more than it was asked for is refused, and a refused record changes nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "effect/reverb_state.h"

// read(into, wanted) and write(from, wanted) return the bytes moved, or <= 0 when the stream
// cannot go on.
template <class Read>
bool readStateRecord(Read read, ReverbState& state) {
    unsigned char record[kStateSize];
    std::size_t got = 0;
    while (got < kStateSize) {
        const std::size_t wanted = kStateSize - got;
        const std::int64_t n = read(record + got, wanted);
        if (n <= 0 || static_cast<std::uint64_t>(n) > wanted) break;
        got += static_cast<std::size_t>(n);
    }
    return readState(record, got, state);
}

template <class Write>
bool writeStateRecord(Write write, const ReverbCore& core) {
    unsigned char record[kStateSize];
    writeState(captureState(core), record);
    std::size_t put = 0;
    while (put < kStateSize) {
        const std::size_t wanted = kStateSize - put;
        const std::int64_t n = write(record + put, wanted);
        if (n <= 0 || static_cast<std::uint64_t>(n) > wanted) return false;
        put += static_cast<std::size_t>(n);
    }
    return true;
}
