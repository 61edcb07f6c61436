// Our own WAV reader and writer: the Windows build reads and writes with it, the native
// build writes float files with it, and both quantise PCM with it. Float files carry the
// 18-byte "fmt " chunk (IEEE float, extension size 0) and a "fact" chunk that non-PCM
// data asks for; PCM files are laid out as libsndfile writes them: "fmt " of 16 bytes,
// then "data", padded to an even length.
#pragma once

#include "tools/vsthost/audio_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost {

int bytesPerSample(SampleFormat format);

// The integer codes a PCM file of this format holds for the samples: rounded to the
// nearest step and clipped to the range; 16-bit adds triangular (TPDF) dither of one step
// peak from a fixed seed, so the same samples always give the same codes.
std::vector<std::int32_t> quantize(const AudioData& audio, SampleFormat format);

std::vector<std::uint8_t> encodeWav(const AudioData& audio, SampleFormat format = SampleFormat::Float);
// Accepts PCM of 8, 16, 24 and 32 bits and float of 32 and 64 bits, plain or extensible.
bool decodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error);

bool readWavFile(const std::string& path, AudioData& audio, std::string& error);
bool writeWavFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error);

}  // namespace vsthost
