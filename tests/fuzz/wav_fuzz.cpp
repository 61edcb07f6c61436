// Feeds any bytes to the WAV reader the Windows build reads user files with. Besides the
// sanitizers' checks it asserts what the reader promises: a refusal comes with one line of
// explanation, an accepted file has whole frames of a sane shape, and what it accepted
// comes back unchanged through the float writer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/vsthost/wav_file.h"

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "wav fuzz: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    vsthost::AudioData audio;
    std::string error;
    if (!vsthost::decodeWav(bytes, audio, error)) {
        check(!error.empty() && error.find('\n') == std::string::npos, "a refusal without one line of reason");
        return 0;
    }
    check(audio.channels >= 1 && audio.channels <= 1024 && audio.sampleRate >= 1, "an accepted file of bad shape");
    check(audio.frames() > 0 && audio.samples.size() == static_cast<std::size_t>(audio.frames()) * audio.channels,
          "an accepted file without whole frames");
    vsthost::AudioData again;
    check(vsthost::decodeWav(vsthost::encodeWav(audio), again, error), "our own float file refused");
    check(again.channels == audio.channels && again.sampleRate == audio.sampleRate &&
              std::memcmp(again.samples.data(), audio.samples.data(), audio.samples.size() * sizeof(float)) == 0,
          "samples changed through the float writer");
    return 0;
}
