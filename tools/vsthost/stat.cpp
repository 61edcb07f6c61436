// vsthost stat FILE: the facts about an audio file that tests check.
#include "tools/vsthost/audio_file.h"
#include "tools/vsthost/commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vsthost {

int runStat(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') {
        std::fprintf(stderr, "vsthost stat: expects one audio file\n");
        return kExitUsage;
    }
    AudioData audio;
    std::string error;
    if (!readAudio(args[0], audio, error)) {
        std::fprintf(stderr, "vsthost: %s\n", error.c_str());
        return kExitFailed;
    }
    const long frames = audio.frames();
    std::vector<double> peak(audio.channels, 0.0);
    std::vector<double> energy(audio.channels, 0.0);
    long nonFinite = 0;
    long lastSound = -1;  // the last frame with any non-zero sample
    for (long i = 0; i < frames; ++i) {
        for (int c = 0; c < audio.channels; ++c) {
            const double x = audio.samples[static_cast<std::size_t>(i) * audio.channels + c];
            if (!std::isfinite(x)) {
                ++nonFinite;
                continue;
            }
            peak[c] = std::max(peak[c], std::fabs(x));
            energy[c] += x * x;
            if (x != 0.0) {
                lastSound = i;
            }
        }
    }
    double overallPeak = 0.0;
    for (double p : peak) {
        overallPeak = std::max(overallPeak, p);
    }
    std::printf("file: %s\n", args[0].c_str());
    std::printf("rate: %d\n", audio.sampleRate);
    std::printf("channels: %d\n", audio.channels);
    std::printf("frames: %ld\n", frames);
    std::printf("peak: %.9g\n", overallPeak);
    for (int c = 0; c < audio.channels; ++c) {
        std::printf("peak.%d: %.9g\n", c, peak[c]);
        std::printf("rms.%d: %.9g\n", c, frames > 0 ? std::sqrt(energy[c] / frames) : 0.0);
    }
    std::printf("nonfinite: %ld\n", nonFinite);
    std::printf("lastsound: %ld\n", lastSound);
    std::printf("silent: %s\n", overallPeak > 0.0 ? "no" : "yes");
    return kExitOk;
}

}  // namespace vsthost
