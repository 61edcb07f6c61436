// Reading and writing audio files: 32-bit float WAV out, any common WAV (and, natively,
// whatever libsndfile reads) in. Both builds write byte-identical files for the same
// samples, so their renders can be compared with cmp.
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

bool readAudio(const std::string& path, AudioData& audio, std::string& error);
bool writeAudio(const std::string& path, const AudioData& audio, std::string& error);

}  // namespace vsthost
