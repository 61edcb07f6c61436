// Windows builds have no libsndfile: our own WAV code does the work.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/wav_file.h"

namespace vsthost {

bool readAudio(const std::string& path, AudioData& audio, std::string& error) {
    return readWavFile(path, audio, error);
}

bool writeAudio(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    return writeWavFile(path, audio, format, error);
}

}  // namespace vsthost
