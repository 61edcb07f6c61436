#include "tools/vsthost/signals.h"

#include <cstdint>

namespace vsthost {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Library sine and exponential differ in the last bit between C runtimes; these series
// do not. Arguments here are small (a few hundredths), far inside their convergence.
double seriesCos(double x) {
    double term = 1.0, sum = 1.0;
    for (int n = 1; n < 16; ++n) {
        term *= -x * x / ((2 * n - 1) * (2 * n));
        sum += term;
    }
    return sum;
}

double seriesExp(double x) {
    double term = 1.0, sum = 1.0;
    for (int n = 1; n < 20; ++n) {
        term *= x / n;
        sum += term;
    }
    return sum;
}

class Random {
public:
    explicit Random(std::uint32_t seed) : state(seed) {}
    // Uniform in [-1, 1).
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state;
};

// Adds one hit at `start`: a resonator ringing at `pitch` Hz and a noise burst, each
// decaying with its own time constant.
void addHit(AudioData& audio, long start, double pitch, double thumpLevel, double thumpDecay, double noiseLevel,
            double noiseDecay, Random& random) {
    const double rate = audio.sampleRate;
    const double twoCos = 2.0 * seriesCos(2.0 * kPi * pitch / rate);
    const double thumpFactor = seriesExp(-1.0 / (thumpDecay * rate));
    const double noiseFactor = seriesExp(-1.0 / (noiseDecay * rate));
    // The resonator y[n] = 2cos(w) y[n-1] - y[n-2] started at (0, sin w) gives sin((n+1)w); at
    // these pitches w itself is close enough to sin w.
    double previous = 0.0;
    double current = 2.0 * kPi * pitch / rate;
    double thumpEnvelope = thumpLevel;
    double noiseEnvelope = noiseLevel;
    const long frames = audio.frames();
    for (long i = start; i < frames && thumpEnvelope + noiseEnvelope > 1e-5; ++i) {
        double thump = current * thumpEnvelope;
        double next = twoCos * current - previous;
        previous = current;
        current = next;
        for (int c = 0; c < audio.channels; ++c) {
            double noise = random.next() * noiseEnvelope;
            audio.samples[static_cast<std::size_t>(i) * audio.channels + c] += static_cast<float>(thump + noise);
        }
        thumpEnvelope *= thumpFactor;
        noiseEnvelope *= noiseFactor;
    }
}

}  // namespace

bool makeSignal(const std::string& name, int sampleRate, long frames, AudioData& audio) {
    audio.channels = 2;
    audio.sampleRate = sampleRate;
    audio.samples.assign(static_cast<std::size_t>(frames) * 2, 0.0f);
    if (name == "impulse") {
        if (frames > 0) {
            audio.samples[0] = audio.samples[1] = 1.0f;
        }
        return true;
    }
    if (name == "noise") {
        Random random(0x48616c6d);
        for (float& sample : audio.samples) {
            sample = static_cast<float>(0.25 * random.next());
        }
        return true;
    }
    if (name == "drums") {
        Random random(0x44727573);
        const long step = sampleRate / 4 > 0 ? sampleRate / 4 : 1;  // eighths at 120 bpm
        for (long start = 0, n = 0; start < frames; start += step, ++n) {
            if (n % 2 == 0) {
                addHit(audio, start, 55.0, 0.8, 0.12, 0.3, 0.01, random);  // kick: mostly thump
            } else {
                addHit(audio, start, 190.0, 0.3, 0.05, 0.5, 0.08, random);  // snare: mostly noise
            }
        }
        return true;
    }
    return false;
}

}  // namespace vsthost
