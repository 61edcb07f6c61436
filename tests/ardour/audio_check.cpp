// audio_check: the two sample-level jobs of the Ardour test that a shell cannot do.
//
//   audio_check make STEREO LEFT RIGHT --rate HZ --lead S --drums S --tail S
//       writes the test input: silence, vsthost's "drums" signal, silence. STEREO is the
//       interleaved file vsthost reads; LEFT and RIGHT are its channels as mono files,
//       because an Ardour region takes one mono source per channel.
//
//   audio_check compare REFERENCE TEST [--max-lag N] [--max-diff X] [--min-diff X]
//                       [--min-corr C] [--max-gain-error G]
//       lines TEST up with REFERENCE (a host may add latency or start a frame early), then
//       prints "key: value" lines: lag, frames compared, gain of the least-squares fit,
//       correlation, and the largest sample difference relative to REFERENCE's peak. Each
//       given bound is checked; any that fails makes the exit status 1.
//
//   audio_check same STEREO
//       compares the two channels of STEREO sample for sample: two hosts' renders side by
//       side. Prints the frames and the differing frames; the status is 1 unless the two are
//       identical and not silent.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/signals.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using vsthost::AudioData;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: audio_check make STEREO LEFT RIGHT --rate HZ --lead S --drums S --tail S\n"
                 "       audio_check compare REFERENCE TEST [--max-lag N] [--max-diff X] [--min-diff X]\n"
                 "                           [--min-corr C] [--max-gain-error G]\n"
                 "       audio_check same STEREO\n");
    return 2;
}

bool read(const std::string& path, AudioData& audio) {
    std::string error;
    if (!vsthost::readAudio(path, audio, error)) {
        std::fprintf(stderr, "audio_check: %s\n", error.c_str());
        return false;
    }
    return true;
}

bool write(const std::string& path, const AudioData& audio) {
    std::string error;
    if (!vsthost::writeAudio(path, audio, vsthost::SampleFormat::Float, error)) {
        std::fprintf(stderr, "audio_check: %s\n", error.c_str());
        return false;
    }
    return true;
}

// Reads "--name value" pairs into a list of (name, number).
bool parseNumbers(int argc, char** argv, int first, std::vector<std::pair<std::string, double>>& options) {
    for (int i = first; i < argc; i += 2) {
        if (i + 1 >= argc || std::string(argv[i]).rfind("--", 0) != 0) {
            return false;
        }
        char* end = nullptr;
        const double value = std::strtod(argv[i + 1], &end);
        if (end == argv[i + 1] || *end != '\0') {
            return false;
        }
        options.emplace_back(argv[i] + 2, value);
    }
    return true;
}

double option(const std::vector<std::pair<std::string, double>>& options, const std::string& name, double fallback) {
    for (const auto& [key, value] : options) {
        if (key == name) {
            return value;
        }
    }
    return fallback;
}

bool has(const std::vector<std::pair<std::string, double>>& options, const std::string& name) {
    return std::any_of(options.begin(), options.end(), [&](const auto& o) { return o.first == name; });
}

int make(int argc, char** argv) {
    if (argc < 5) {
        return usage();
    }
    std::vector<std::pair<std::string, double>> options;
    if (!parseNumbers(argc, argv, 5, options)) {
        return usage();
    }
    const int rate = static_cast<int>(option(options, "rate", 48000));
    const long lead = std::lround(option(options, "lead", 0.05) * rate);
    const long drums = std::lround(option(options, "drums", 1.0) * rate);
    const long tail = std::lround(option(options, "tail", 2.0) * rate);

    AudioData hits;
    if (!vsthost::makeSignal("drums", rate, drums, hits)) {
        return 1;
    }
    AudioData stereo;
    stereo.channels = 2;
    stereo.sampleRate = rate;
    stereo.samples.assign(static_cast<std::size_t>(lead + drums + tail) * 2, 0.0f);
    std::copy(hits.samples.begin(), hits.samples.end(), stereo.samples.begin() + lead * 2);

    AudioData left, right;
    left.channels = right.channels = 1;
    left.sampleRate = right.sampleRate = rate;
    for (long i = 0; i < stereo.frames(); ++i) {
        left.samples.push_back(stereo.samples[static_cast<std::size_t>(i) * 2]);
        right.samples.push_back(stereo.samples[static_cast<std::size_t>(i) * 2 + 1]);
    }
    if (!write(argv[2], stereo) || !write(argv[3], left) || !write(argv[4], right)) {
        return 1;
    }
    std::printf("frames: %ld\n", stereo.frames());
    return 0;
}

// First frame whose largest channel magnitude reaches `level`, or -1.
long onset(const AudioData& audio, float level) {
    for (long i = 0; i < audio.frames(); ++i) {
        for (int c = 0; c < audio.channels; ++c) {
            if (std::fabs(audio.samples[static_cast<std::size_t>(i) * audio.channels + c]) >= level) {
                return i;
            }
        }
    }
    return -1;
}

float peak(const AudioData& audio) {
    float p = 0.0f;
    for (float s : audio.samples) {
        p = std::max(p, std::fabs(s));
    }
    return p;
}

// Sum of squared differences of TEST shifted by `lag` against REFERENCE, over the frames
// both have.
double mismatch(const AudioData& reference, const AudioData& test, long lag) {
    const long first = std::max(0L, -lag);
    const long last = std::min(reference.frames(), test.frames() - lag);
    double sum = 0.0;
    for (long i = first; i < last; ++i) {
        for (int c = 0; c < reference.channels; ++c) {
            const double d = test.samples[static_cast<std::size_t>(i + lag) * test.channels + c] -
                             reference.samples[static_cast<std::size_t>(i) * reference.channels + c];
            sum += d * d;
        }
    }
    return last > first ? sum / static_cast<double>(last - first) : INFINITY;
}

int compare(int argc, char** argv) {
    if (argc < 4) {
        return usage();
    }
    std::vector<std::pair<std::string, double>> options;
    if (!parseNumbers(argc, argv, 4, options)) {
        return usage();
    }
    AudioData reference, test;
    if (!read(argv[2], reference) || !read(argv[3], test)) {
        return 1;
    }
    if (reference.channels != test.channels || reference.sampleRate != test.sampleRate) {
        std::fprintf(stderr, "audio_check: %s is %d ch at %d Hz, %s is %d ch at %d Hz\n", argv[2], reference.channels,
                     reference.sampleRate, argv[3], test.channels, test.sampleRate);
        return 1;
    }
    const float referencePeak = peak(reference);
    if (referencePeak <= 0.0f) {
        std::fprintf(stderr, "audio_check: %s is silent\n", argv[2]);
        return 1;
    }

    // The onsets give the lag to within a few frames; the smallest mismatch around them
    // fixes it exactly.
    const long maxLag = static_cast<long>(option(options, "max-lag", 8192));
    const long referenceOnset = onset(reference, 0.01f * referencePeak);
    const long testOnset = onset(test, 0.01f * referencePeak);
    long lag = 0;
    if (testOnset >= 0) {
        const long guess = std::clamp(testOnset - referenceOnset, -maxLag, maxLag);
        double best = INFINITY;
        for (long l = std::max(-maxLag, guess - 64); l <= std::min(maxLag, guess + 64); ++l) {
            const double m = mismatch(reference, test, l);
            if (m < best) {
                best = m;
                lag = l;
            }
        }
    }

    const long first = std::max(0L, -lag);
    const long last = std::min(reference.frames(), test.frames() - lag);
    double rr = 0.0, tt = 0.0, rt = 0.0, maxDiff = 0.0;
    long differing = 0;
    for (long i = first; i < last; ++i) {
        for (int c = 0; c < reference.channels; ++c) {
            const double r = reference.samples[static_cast<std::size_t>(i) * reference.channels + c];
            const double t = test.samples[static_cast<std::size_t>(i + lag) * test.channels + c];
            rr += r * r;
            tt += t * t;
            rt += r * t;
            maxDiff = std::max(maxDiff, std::fabs(t - r));
            differing += t != r;
        }
    }
    const long frames = std::max(0L, last - first);
    const double gain = rr > 0.0 ? rt / rr : 0.0;
    const double correlation = rr > 0.0 && tt > 0.0 ? rt / std::sqrt(rr * tt) : 0.0;
    const double relativeDiff = maxDiff / referencePeak;
    std::printf("lag: %ld\n", lag);
    std::printf("frames: %ld of %ld\n", frames, reference.frames());
    std::printf("reference_peak: %.9g\n", referencePeak);
    std::printf("gain: %.9f\n", gain);
    std::printf("correlation: %.9f\n", correlation);
    std::printf("max_diff: %.3g\n", maxDiff);
    std::printf("max_diff_relative: %.3g\n", relativeDiff);
    std::printf("samples_differing: %ld of %ld\n", differing, frames * reference.channels);

    bool ok = true;
    auto check = [&](bool good, const char* what) {
        if (!good) {
            std::printf("FAIL: %s\n", what);
            ok = false;
        }
    };
    // Too short an overlap would compare little of the render.
    check(frames >= reference.frames() * 9 / 10, "the files overlap in less than 90% of the reference");
    if (has(options, "max-diff")) {
        check(relativeDiff <= option(options, "max-diff", 0.0), "difference above --max-diff");
    }
    if (has(options, "min-diff")) {
        check(relativeDiff >= option(options, "min-diff", 0.0), "difference below --min-diff");
    }
    if (has(options, "min-corr")) {
        check(correlation >= option(options, "min-corr", 1.0), "correlation below --min-corr");
    }
    if (has(options, "max-gain-error")) {
        check(std::fabs(gain - 1.0) <= option(options, "max-gain-error", 0.0),
              "gain off unity by more than --max-gain-error");
    }
    return ok ? 0 : 1;
}

int same(int argc, char** argv) {
    AudioData audio;
    if (argc != 3 || !read(argv[2], audio)) {
        return argc != 3 ? usage() : 1;
    }
    if (audio.channels != 2) {
        std::fprintf(stderr, "audio_check: %s has %d channels, not 2\n", argv[2], audio.channels);
        return 1;
    }
    long differing = 0;
    for (long i = 0; i < audio.frames(); ++i) {
        differing += audio.samples[static_cast<std::size_t>(i) * 2] != audio.samples[static_cast<std::size_t>(i) * 2 + 1];
    }
    const float loudest = peak(audio);
    std::printf("frames: %ld\n", audio.frames());
    std::printf("peak: %.9g\n", loudest);
    std::printf("frames_differing: %ld\n", differing);
    return differing == 0 && loudest > 0.0f ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return usage();
    }
    const std::string command = argv[1];
    if (command == "make") {
        return make(argc, argv);
    }
    if (command == "compare") {
        return compare(argc, argv);
    }
    if (command == "same") {
        return same(argc, argv);
    }
    return usage();
}
