// The state record's reader, as hosts and files feed it: any bytes at all. Besides the
// sanitizers' checks it asserts that a record it accepts is applied whole: the core's state
// written back is the very record read.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effect/reverb_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReverbState state;
    if (!readState(data, size, state)) return 0;
    static ReverbCore core;  // an engine's buffers per input would dwarf the reading
    applyState(core, state);
    unsigned char written[kStateSize];
    writeState(captureState(core), written);
    if (std::memcmp(written, data, kStateSize) != 0) std::abort();
    return 0;
}
