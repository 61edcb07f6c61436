// Native audio files: libsndfile reads every format it knows and writes PCM; float WAV is
// written by our own encoder, since libsndfile's float header lacks the format extension
// that readers such as sox ask for.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/wav_file.h"

#include <sndfile.h>

#include <cstring>
#include <sstream>

namespace vsthost {
namespace {

// libsndfile reads a cut-off file up to its end and only notes the shortfall in its log,
// as "data : 40 (should be 27)".
bool dataCutOff(SNDFILE* file) {
    char log[4096] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 4, "data") == 0 && line.find("should be") != std::string::npos) {
            return true;
        }
    }
    return false;
}

}  // namespace

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
    if (dataCutOff(file)) {
        sf_close(file);
        error = path + ": truncated: the file ends inside its audio data";
        return false;
    }
    audio.channels = info.channels;
    audio.sampleRate = info.samplerate;
    audio.samples.assign(static_cast<std::size_t>(info.frames) * info.channels, 0.0f);
    // Convert integer formats to [-1, 1) without rescaling by the file's peak.
    sf_command(file, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    sf_count_t got = sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    if (got <= 0) {
        error = path + ": no audio frames";
        return false;
    }
    audio.samples.resize(static_cast<std::size_t>(got) * info.channels);
    return true;
}

bool writeAudio(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    if (format == SampleFormat::Float) {
        return writeWavFile(path, audio, format, error);
    }
    if (audio.channels < 1 || audio.sampleRate < 1) {
        error = "nothing to write to " + path;
        return false;
    }
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | (format == SampleFormat::Pcm16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot create " + path + ": " + sf_strerror(nullptr);
        return false;
    }
    // libsndfile takes full-scale 32-bit integers and keeps their top bits: the codes go in
    // exactly as the Windows build writes them.
    std::vector<std::int32_t> codes = quantize(audio, format);
    const int shift = 32 - 8 * bytesPerSample(format);
    for (std::int32_t& code : codes) {
        code = static_cast<std::int32_t>(static_cast<std::uint32_t>(code) << shift);
    }
    const sf_count_t frames = audio.frames();
    bool written = sf_writef_int(file, codes.data(), frames) == frames;
    written = sf_close(file) == 0 && written;
    if (!written) {
        error = "cannot write " + path;
    }
    return written;
}

}  // namespace vsthost
