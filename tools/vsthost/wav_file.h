// Our own WAV reader and writer, for builds without libsndfile. The writer lays the file
// out exactly as libsndfile does for 32-bit float WAV without a peak chunk: "fmt " (16
// bytes, IEEE float), "fact", a zeroed "PAD " chunk of 8 + 8 × channels bytes, "data".
#pragma once

#include "tools/vsthost/audio_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

std::vector<std::uint8_t> encodeWav(const AudioData& audio);
// Accepts PCM of 8, 16, 24 and 32 bits and float of 32 and 64 bits, plain or extensible.
bool decodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error);

bool readWavFile(const std::string& path, AudioData& audio, std::string& error);
bool writeWavFile(const std::string& path, const AudioData& audio, std::string& error);

}  // namespace vsthost
