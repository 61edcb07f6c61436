#include "tools/vsthost/wav_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace vsthost {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr int kMaxChannels = 1024;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

std::uint32_t get16(const std::uint8_t* p) { return p[0] | (p[1] << 8); }

std::uint32_t get32(const std::uint8_t* p) { return get16(p) | (static_cast<std::uint32_t>(get16(p + 2)) << 16); }

float sampleAt(const std::uint8_t* p, std::uint16_t format, int bits) {
    if (format == kFormatFloat) {
        if (bits == 32) {
            std::uint32_t raw = get32(p);
            float f;
            std::memcpy(&f, &raw, sizeof f);
            return f;
        }
        std::uint64_t raw = get32(p) | (static_cast<std::uint64_t>(get32(p + 4)) << 32);
        double d;
        std::memcpy(&d, &raw, sizeof d);
        return static_cast<float>(d);
    }
    switch (bits) {
    case 8: return (static_cast<int>(p[0]) - 128) / 128.0f;
    case 16: return static_cast<std::int16_t>(get16(p)) / 32768.0f;
    case 24: {
        std::int32_t v =
            static_cast<std::int32_t>((p[0] << 8) | (p[1] << 16) | (static_cast<std::uint32_t>(p[2]) << 24));
        return static_cast<float>((v >> 8) / 8388608.0);
    }
    default: return static_cast<float>(static_cast<std::int32_t>(get32(p)) / 2147483648.0);
    }
}

}  // namespace

bool parseSampleFormat(const std::string& name, SampleFormat& format) {
    static const struct {
        const char* name;
        SampleFormat format;
    } kNames[] = {{"float", SampleFormat::Float}, {"pcm24", SampleFormat::Pcm24}, {"pcm16", SampleFormat::Pcm16}};
    for (const auto& entry : kNames) {
        if (name == entry.name) {
            format = entry.format;
            return true;
        }
    }
    return false;
}

int bytesPerSample(SampleFormat format) {
    return format == SampleFormat::Pcm16 ? 2 : format == SampleFormat::Pcm24 ? 3 : 4;
}

std::vector<std::int32_t> quantize(const AudioData& audio, SampleFormat format) {
    const int bits = 8 * bytesPerSample(format);
    const double scale = std::ldexp(1.0, bits - 1);
    const double top = scale - 1.0;
    const bool dither = format == SampleFormat::Pcm16;
    std::uint32_t state = 0x12345678u;  // xorshift32
    auto uniform = [&state] {           // [0, 1) in steps of 2^-24
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state >> 8) * (1.0 / 16777216.0);
    };
    std::vector<std::int32_t> codes(audio.samples.size());
    for (std::size_t i = 0; i < codes.size(); ++i) {
        double x = static_cast<double>(audio.samples[i]) * scale;
        if (dither) {
            x += uniform() - uniform();
        }
        x = std::floor(x + 0.5);
        // NaN fails both comparisons and is written as silence.
        codes[i] = x >= top      ? static_cast<std::int32_t>(top)
                   : x <= -scale ? static_cast<std::int32_t>(-scale)
                   : x == x      ? static_cast<std::int32_t>(x)
                                 : 0;
    }
    return codes;
}

std::vector<std::uint8_t> encodeWav(const AudioData& audio, SampleFormat format) {
    const bool pcm = format != SampleFormat::Float;
    const std::uint32_t channels = static_cast<std::uint32_t>(audio.channels);
    const std::uint32_t frames = static_cast<std::uint32_t>(audio.frames());
    const std::uint32_t sampleBytes = static_cast<std::uint32_t>(bytesPerSample(format));
    const std::uint32_t dataBytes = frames * channels * sampleBytes;
    const std::uint32_t pad = dataBytes & 1;
    const std::uint32_t fmtBytes = pcm ? 16 : 18;
    const std::uint32_t factBytes = pcm ? 0 : 12;
    std::vector<std::uint8_t> out;
    out.reserve(12 + 8 + fmtBytes + factBytes + 8 + dataBytes + pad);
    putTag(out, "RIFF");
    put32(out, 4 + 8 + fmtBytes + factBytes + 8 + dataBytes + pad);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, fmtBytes);
    put16(out, pcm ? kFormatPcm : kFormatFloat);
    put16(out, channels);
    put32(out, static_cast<std::uint32_t>(audio.sampleRate));
    put32(out, static_cast<std::uint32_t>(audio.sampleRate) * channels * sampleBytes);
    put16(out, channels * sampleBytes);
    put16(out, sampleBytes * 8);
    if (!pcm) {
        put16(out, 0);  // no further format bytes
        putTag(out, "fact");
        put32(out, 4);
        put32(out, frames);
    }
    putTag(out, "data");
    put32(out, dataBytes);
    if (pcm) {
        for (std::int32_t code : quantize(audio, format)) {
            const std::uint32_t raw = static_cast<std::uint32_t>(code);
            for (std::uint32_t b = 0; b < sampleBytes; ++b) {
                out.push_back(static_cast<std::uint8_t>(raw >> (8 * b)));
            }
        }
    } else {
        for (std::size_t i = 0; i < static_cast<std::size_t>(frames) * channels; ++i) {
            std::uint32_t raw;
            std::memcpy(&raw, &audio.samples[i], sizeof raw);
            put32(out, raw);
        }
    }
    if (pad) {
        out.push_back(0);
    }
    return out;
}

bool decodeWav(const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    std::uint16_t format = 0;
    int channels = 0;
    int bits = 0;
    std::uint32_t rate = 0;
    bool haveFormat = false;
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const std::uint8_t* chunk = bytes.data() + pos;
        std::size_t size = get32(chunk + 4);
        std::size_t available = bytes.size() - pos - 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (size < 16 || size > available) {
                error = "truncated format chunk";
                return false;
            }
            format = static_cast<std::uint16_t>(get16(chunk + 8));
            channels = static_cast<int>(get16(chunk + 10));
            rate = get32(chunk + 12);
            bits = static_cast<int>(get16(chunk + 22));
            if (format == kFormatExtensible && size >= 40) {
                format = static_cast<std::uint16_t>(get16(chunk + 32));  // first word of the sub-format GUID
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                error = "data chunk before the format chunk";
                return false;
            }
            bool pcm = format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32);
            bool real = format == kFormatFloat && (bits == 32 || bits == 64);
            if (!pcm && !real) {
                error =
                    "unsupported sample format " + std::to_string(format) + " with " + std::to_string(bits) + " bits";
                return false;
            }
            if (channels < 1 || channels > kMaxChannels || rate == 0 ||
                rate > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
                error = "bad channel count or sample rate";
                return false;
            }
            // Streams written without a final size leave 0 or all ones there, meaning "up to
            // the end of the file"; any other length past the end is a cut-off file.
            if (size == 0 || size == 0xFFFFFFFFu) {
                size = available;
            } else if (size > available) {
                error = "truncated: the data chunk holds " + std::to_string(available) + " of its " +
                        std::to_string(size) + " bytes";
                return false;
            }
            const std::size_t sampleBytes = static_cast<std::size_t>(bits / 8);
            const std::size_t frameBytes = sampleBytes * channels;
            const std::size_t frames = size / frameBytes;
            if (frames == 0) {
                error = "no audio frames";
                return false;
            }
            audio.channels = channels;
            audio.sampleRate = static_cast<int>(rate);
            audio.samples.resize(frames * channels);
            const std::uint8_t* p = chunk + 8;
            for (std::size_t i = 0; i < frames * channels; ++i, p += sampleBytes) {
                audio.samples[i] = sampleAt(p, format, bits);
            }
            return true;
        }
        if (size > available) {
            break;
        }
        pos += 8 + size + (size & 1);
    }
    error = "no audio data found";
    return false;
}

bool readWavFile(const std::string& path, AudioData& audio, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    std::size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.insert(bytes.end(), block, block + got);
    }
    std::fclose(file);
    if (!decodeWav(bytes, audio, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool writeWavFile(const std::string& path, const AudioData& audio, SampleFormat format, std::string& error) {
    if (audio.channels < 1 || audio.sampleRate < 1) {
        error = "nothing to write to " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes = encodeWav(audio, format);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create " + path;
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written) {
        error = "cannot write " + path;
    }
    return written;
}

}  // namespace vsthost
