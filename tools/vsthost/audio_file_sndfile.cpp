#include "tools/vsthost/audio_file.h"

#include <sndfile.h>

namespace vsthost {

bool readAudio(const std::string& path, AudioData& audio, std::string& error) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        sf_close(file);
        error = path + ": bad channel count or sample rate";
        return false;
    }
    audio.channels = info.channels;
    audio.sampleRate = info.samplerate;
    audio.samples.assign(static_cast<std::size_t>(info.frames) * info.channels, 0.0f);
    // Convert integer formats to [-1, 1) without rescaling by the file's peak.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    sf_count_t got = sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    audio.samples.resize(static_cast<std::size_t>(got < 0 ? 0 : got) * info.channels);
    return true;
}

bool writeAudio(const std::string& path, const AudioData& audio, std::string& error) {
    if (audio.channels < 1 || audio.sampleRate < 1) {
        error = "nothing to write to " + path;
        return false;
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot create " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    // The peak chunk carries a time stamp; without it the same samples give the same bytes.
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    sf_count_t frames = audio.frames();
    bool written = sf_writef_float(file, audio.samples.data(), frames) == frames;
    written = sf_close(file) == 0 && written;
    if (!written) {
        error = "cannot write " + path;
    }
    return written;
}

}  // namespace vsthost
