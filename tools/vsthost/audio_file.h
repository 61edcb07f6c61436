// Reading and writing audio files: WAV out (32-bit float, or 24- or 16-bit PCM), any
// common WAV (and, natively, whatever libsndfile reads) in. Both builds write
// byte-identical files for the same samples, so their renders can be compared with cmp.
#pragma once

#include <string>
#include <vector>

namespace vsthost {

struct AudioData {
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples;  // interleaved, frames × channels

    long frames() const { return channels > 0 ? static_cast<long>(samples.size() / channels) : 0; }
};

enum class SampleFormat { Float, Pcm24, Pcm16 };

// "float", "pcm24" or "pcm16".
bool parseSampleFormat(const std::string& name, SampleFormat& format);

// Refuses (with one line in error) a file it cannot read, a truncated one and one without
// a single frame.
bool readAudio(const std::string& path, AudioData& audio, std::string& error);
bool writeAudio(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error);

}  // namespace vsthost
