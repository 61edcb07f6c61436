// A plain reverb written straight from the signal-flow steps, one frame per call, with every
// setting applied on the spot. It has its own few lines for every block and every formula and
// uses nothing of the product, so that a fault in a product block cannot move both sides of a
// comparison together. The engine's block loop and its hand-over between threads must give
// exactly the same bits.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace reference {

// c = exp(−2π f / sr): 2π as the single-precision constant, the rest in double, kept as float.
inline float cutoffCoefficient(float frequency, int32_t sampleRate) {
    return static_cast<float>(std::exp(-(6.2831854820251465 * frequency) / sampleRate));
}

// Above the upper limit gives the upper limit; anything not at or above the lower (NaN too)
// gives the lower.
inline float limited(float v, float lower, float upper) { return v > upper ? upper : !(v >= lower) ? lower : v; }

// Circular storage: the slot at `at` is read and written by the next step. Setting a length
// clears everything from the old length to the end; the position stays where it is.
struct Ring {
    explicit Ring(int32_t capacity) : slots(capacity, 0.0f) {}
    void setLength(int32_t n) {
        std::fill(slots.begin() + length, slots.end(), 0.0f);
        length = std::min<int32_t>(n, static_cast<int32_t>(slots.size()));
    }
    void step() { at = at + 1 >= length ? 0 : at + 1; }
    std::vector<float> slots;
    int32_t length = 0, at = 0;
};

struct Lowpass {
    void step(float x) { y = (1.0f - c) * x + c * y; }
    float c = 0.0f, y = 0.0f;
};

// (z^−L − g) / (1 − g z^−L)
struct Allpass {
    explicit Allpass(int32_t capacity) : ring(capacity) {}
    void setGain(float gain) { g = limited(gain, -0.9998999834060669f, 0.9998999834060669f); }
    float step(float x) {
        float& slot = ring.slots[ring.at];
        const float v = slot - g * x;
        slot = x + g * v;
        ring.step();
        return v;
    }
    Ring ring;
    float g = 0.0f;
};

// Lowpass, then gain, on the way into the ring.
struct DampedLine {
    explicit DampedLine(int32_t capacity) : ring(capacity) {}
    void write(float x) {
        filter.step(x);
        ring.slots[ring.at] = filter.y * gain;
        ring.step();
    }
    float read() const { return ring.slots[ring.at]; }
    Ring ring;
    Lowpass filter;
    float gain = 1.0f;
};

}  // namespace reference

class ReferenceReverb {
public:
    ReferenceReverb() { setSampleRate(44100); }

    void setSampleRate(int32_t rate) {
        sampleRate = rate > 96000 ? 96000 : rate < 5000 ? 5000 : rate;
        updateCoefficients();
    }

    void setT60(float v) { t60 = reference::limited(v, 0.01f, 7.0f), updateCoefficients(); }
    void setDamping(float v) { damping = reference::limited(v, 10.0f, 40000.0f), updateCoefficients(); }
    void setDensity(float v) { density = reference::limited(v, 0.0f, 1.0f), updateCoefficients(); }
    void setRoomSize(float v) { roomSize = reference::limited(v, 0.05f, 1.0f), updateCoefficients(); }
    void setLateLevel(float v) { lateLevel = v; }
    void setHighCut(float v) { highCut = reference::limited(v, 10.0f, 40000.0f), updateCoefficients(); }
    void setLowCut(float v) { lowCut = reference::limited(v, 10.0f, 10000.0f), updateCoefficients(); }
    void setDry(bool v) { dry = v; }
    void setPan(float v) { pan = reference::limited(v, 0.0f, 1.0f); }
    void setSensitivity(float v) { threshold = 1.0f - reference::limited(v, 0.0f, 1.0f), gateState = 0; }
    void setHold(float v) { holdTime = reference::limited(v, 0.01f, 1.0f), updateCoefficients(); }
    void setEarlyDelay(float v) { earlyDelay = v, updateCoefficients(); }
    void setEarlyLevel(float v) { earlyLevel = v, updateCoefficients(); }

    void updateCoefficients() {
        using reference::cutoffCoefficient;
        const double sr = sampleRate;
        const double R[4] = {1.0f, 0.7598356604576111f, 0.5773502588272095f, 0.4386913478374481f};
        const double L[4] = {0.2f, 0.1519671380519867f, 0.1154700517654419f, 0.0877382680773735f};
        const double G[4] = {-12.0f, -9.118027687072754f, -6.928203105926514f, -5.264296054840088f};
        const double A[4] = {0.02f, 0.01519671268761158f, 0.01154700480401516f, 0.008773826994001865f};
        holdCoef = static_cast<float>(std::exp(-1.0 / (sr * holdTime)));
        releaseCoef = static_cast<float>(std::exp(-1.0 / (sr * 0.04f)));
        attackStep = static_cast<float>(1.0 / (sr * 0.002f));
        for (int k = 0; k < 4; ++k) lateLines[k].ring.setLength(static_cast<int32_t>(std::floor(sr * roomSize * L[k])));
        for (int k = 0; k < 4; ++k)
            lateLines[k].gain = static_cast<float>(0.5 * std::pow(10.0, roomSize * G[k] / (t60 * 20.0)));
        for (int k = 0; k < 4; ++k)
            lateLines[k].filter.c = cutoffCoefficient(static_cast<float>(damping / (roomSize * R[k])), sampleRate);
        for (int k = 0; k < 4; ++k) diffusers[k].ring.setLength(static_cast<int32_t>(sr * A[k]));
        diffusers[0].setGain(0.8f * density);
        diffusers[1].setGain(-0.8f * density);
        diffusers[2].setGain(0.6f);
        diffusers[3].setGain(0.6f);
        earlyLine.filter.c = cutoffCoefficient(10000.0f, sampleRate);
        const double early = std::floor(sr * earlyDelay * 0.05f);
        earlyLine.ring.setLength(early > 0.0 ? (early < 1e6 ? static_cast<int32_t>(early) : 1000000) : 0);
        earlyLine.gain = earlyLevel;
        highCutFilter.c = cutoffCoefficient(highCut, sampleRate);
        lowCutFilter.c = cutoffCoefficient(lowCut, sampleRate);
    }

    void process(float inL, float inR) {
        const float m = inL + inR;
        highCutFilter.step(m);
        lowCutFilter.step(highCutFilter.y);
        float s = lowCutFilter.y - highCutFilter.y;
        for (auto& diffuser : diffusers) s = diffuser.step(s);
        earlyLine.write(s);
        const float u = s * lateLevel;
        const float d0 = lateLines[0].read(), d1 = lateLines[1].read();
        const float d2 = lateLines[2].read(), d3 = lateLines[3].read();
        lateLines[0].write(u - (((d1 + d0) + d3) + d2));
        lateLines[1].write((((d1 - d0) - d2) + d3) + u);
        lateLines[2].write(((d3 - (d0 + d1)) + d2) + u);
        lateLines[3].write((((d0 - d1) - d2) + d3) + u);
        outLeft = ((d0 - d2) * width + d3) + d1;
        outRight = ((d2 - d0) * width + d3) + d1;
        const float e = earlyLine.read();
        outLeft = (1.0f - pan) * (e + outLeft);
        outRight = pan * (e + outRight);
        if (threshold > 0.01f) {
            gateState = 1;
            holdTimer = holdTimer * holdCoef;
            if (std::fabs(m) > threshold) {
                gateState = 0;
                holdTimer = 1.0f;
                if (gateGain < 1.0f) gateGain = gateGain + attackStep;
            } else if (holdTimer < 0.3678794503211975f) {
                gateState = 2;
                gateGain = gateGain * (releaseCoef + 0.000001f);
            }
            outLeft = outLeft * gateGain;
            outRight = outRight * gateGain;
        }
        if (dry) {
            outLeft = inL + outLeft;
            outRight = inR + outRight;
        }
    }

    float outLeft = 0.0f, outRight = 0.0f;
    float lateLevel = 1.0f;
    int32_t sampleRate = -1;
    float t60 = 2.17f, damping = 3250.0f, density = 0.5f;
    bool dry = false;
    float width = 1.0f, pan = 0.5f, roomSize = 0.5f, highCut = 4000.0f, lowCut = 150.0f;
    float earlyLevel = 0.3f, earlyDelay = 0.25f;
    // Capacities for 96 kHz and the largest room.
    reference::DampedLine lateLines[4] = {reference::DampedLine(19200), reference::DampedLine(14588),
                                          reference::DampedLine(11085), reference::DampedLine(8422)};
    reference::DampedLine earlyLine{4800};
    reference::Allpass diffusers[4] = {reference::Allpass(1919), reference::Allpass(1458), reference::Allpass(4800),
                                       reference::Allpass(3647)};
    reference::Lowpass highCutFilter, lowCutFilter;
    float holdTimer = 0.0f, holdTime = 0.1f, holdCoef = 0.0f, threshold = 0.0f, gateGain = 1.0f;
    float releaseCoef = 0.0f, attackStep = 0.0f;
    int gateState = 0;
};
