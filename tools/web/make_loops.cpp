// Build-time generator of the page's test loops, as 32-bit float WAV files at 48 kHz:
//   drums.wav   kick and snare (vsthost's "drums" signal), four seconds
//   pluck.wav   a plucked A minor chord, strummed twice: a string model over seeded noise
//   clicks.wav  one click a second, to hear the tail on its own
// Integer arithmetic and the four basic operations only, so every build writes the same
// bytes.
//
//   hallmere_web_loops OUTPUT_FOLDER

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/vsthost/signals.h"
#include "tools/vsthost/wav_file.h"

namespace {

constexpr int kRate = 48000;
constexpr long kFrames = 4L * kRate;

// A plucked string: a delay line of one period filled with noise, averaged as it recirculates.
void pluck(std::vector<float>& out, long start, int period, std::uint32_t seed, float level) {
    std::vector<float> line(static_cast<std::size_t>(period));
    for (float& sample : line) {
        seed = seed * 1664525u + 1013904223u;
        sample = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f) * level;
    }
    for (long i = 0; start + i < static_cast<long>(out.size()); ++i) {
        const std::size_t at = static_cast<std::size_t>(i % period), next = (at + 1) % line.size();
        out[static_cast<std::size_t>(start + i)] += line[at];
        line[at] = (line[at] + line[next]) * 0.498f;
    }
}

vsthost::AudioData stereo(const std::vector<float>& left, const std::vector<float>& right) {
    vsthost::AudioData audio;
    audio.channels = 2;
    audio.sampleRate = kRate;
    for (std::size_t i = 0; i < left.size(); ++i) {
        audio.samples.push_back(left[i]);
        audio.samples.push_back(right[i]);
    }
    return audio;
}

vsthost::AudioData pluckedChord() {
    // A3, C4 and E4 as whole-sample periods, strummed a little apart, once each two seconds.
    const int periods[] = {218, 183, 146};
    std::vector<float> left(kFrames), right(kFrames);
    for (int strum = 0; strum < 2; ++strum) {
        for (int n = 0; n < 3; ++n) {
            const long start = strum * 2L * kRate + n * 2400L;
            pluck(n == 1 ? right : left, start, periods[n], 12345u + n * 7u + strum, 0.5f);
            pluck(n == 1 ? left : right, start, periods[n], 54321u + n * 3u + strum, 0.2f);
        }
    }
    return stereo(left, right);
}

vsthost::AudioData clicks() {
    std::vector<float> left(kFrames), right(kFrames);
    for (long second = 0; second < kFrames / kRate; ++second) {
        left[static_cast<std::size_t>(second * kRate)] = 0.9f;
        right[static_cast<std::size_t>(second * kRate + 24)] = 0.9f;
    }
    return stereo(left, right);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hallmere_web_loops OUTPUT_FOLDER\n");
        return 2;
    }
    vsthost::AudioData drums;
    vsthost::makeSignal("drums", kRate, kFrames, drums);
    const struct {
        const char* name;
        vsthost::AudioData audio;
    } loops[] = {{"drums", drums}, {"pluck", pluckedChord()}, {"clicks", clicks()}};
    for (const auto& loop : loops) {
        const std::string path = std::string(argv[1]) + "/" + loop.name + ".wav";
        std::string error;
        if (!vsthost::writeWavFile(path, loop.audio, vsthost::SampleFormat::Float, error)) {
            std::fprintf(stderr, "hallmere_web_loops: %s\n", error.c_str());
            return 1;
        }
    }
    return 0;
}
