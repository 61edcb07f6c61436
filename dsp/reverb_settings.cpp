#include "dsp/reverb_settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/allpass_delay.h"
#include "dsp/portable_math.h"
#include "dsp/one_pole_filter.h"

namespace {

// floor of a non-negative double, capped at the line's capacity before it becomes an int.
int32_t lengthFor(double samples, int line) {
    const int32_t capacity = lineCapacity(line);
    if (!(samples > 0.0))  // an early delay below 0 or NaN means no delay
        return 0;
    if (samples >= capacity) return capacity;
    return static_cast<int32_t>(samples);
}

}  // namespace

ReverbSettings limitSettings(ReverbSettings s) {
    s.sampleRate = limitSetting(s.sampleRate, kMinSampleRate, kMaxSampleRate);
    s.t60 = limitSetting(s.t60, kMinT60, kMaxT60);
    s.damping = limitSetting(s.damping, kMinFrequency, kMaxDamping);
    s.density = limitSetting(s.density, 0.0f, 1.0f);
    s.roomSize = limitSetting(s.roomSize, kMinRoomSize, 1.0f);
    s.highCut = limitSetting(s.highCut, kMinFrequency, kMaxHighCut);
    s.lowCut = limitSetting(s.lowCut, kMinFrequency, kMaxLowCut);
    s.holdTime = limitSetting(s.holdTime, kMinHoldTime, kMaxHoldTime);
    s.pan = limitSetting(s.pan, 0.0f, 1.0f);
    return s;
}

void computeLengths(const ReverbSettings& s, int32_t (&length)[kLineCount]) {
    const double sr = s.sampleRate;
    for (int k = 0; k < kLateLineCount; ++k) length[k] = lengthFor(sr * s.roomSize * kLateSeconds[k], k);
    for (int k = 0; k < kDiffuserCount; ++k)
        length[kFirstDiffuserIndex + k] = lengthFor(sr * kDiffuserSeconds[k], kFirstDiffuserIndex + k);
    length[kEarlyLineIndex] = lengthFor(sr * s.earlyDelay * kEarlyDelaySeconds, kEarlyLineIndex);
}

void computeLengths(int32_t sampleRate, float roomSize, float earlyDelay, int32_t (&length)[kLineCount]) {
    ReverbSettings s;
    s.sampleRate = limitSetting(sampleRate, kMinSampleRate, kMaxSampleRate);
    s.roomSize = limitSetting(roomSize, kMinRoomSize, 1.0f);
    s.earlyDelay = earlyDelay;
    computeLengths(s, length);
}

namespace {

// The coefficients in groups, each worked out from the few settings it depends on.
void computeHold(const ReverbSettings& s, ReverbCoefficients& c) {
    c.holdCoef = static_cast<float>(portable::exp(-1.0 / (static_cast<double>(s.sampleRate) * s.holdTime)));
}

void computeReleaseAndAttack(const ReverbSettings& s, ReverbCoefficients& c) {
    const double sr = s.sampleRate;
    c.releaseCoef = static_cast<float>(portable::exp(-1.0 / (sr * s.releaseTime)));
    c.attackStep = static_cast<float>(1.0 / (sr * s.attackTime));
}

void computeLateGains(const ReverbSettings& s, ReverbCoefficients& c) {
    const double room = s.roomSize;
    for (int k = 0; k < kLateLineCount; ++k)
        c.gain[k] = static_cast<float>(kLineGainScale * portable::pow10(room * kGainExponent[k] / (s.t60 * 20.0)));
}

void computeLateDamping(const ReverbSettings& s, ReverbCoefficients& c) {
    const double room = s.roomSize;
    for (int k = 0; k < kLateLineCount; ++k) {
        const auto frequency = static_cast<float>(s.damping / (room * kLineRatio[k]));
        c.damping[k] = cutoffCoefficient(frequency, s.sampleRate);
    }
}

void computeDiffuserGains(const ReverbSettings& s, ReverbCoefficients& c) {
    const int d = kFirstDiffuserIndex;
    c.gain[d + 0] = AllpassDelay::limitGain(kDensityGain * s.density);
    c.gain[d + 1] = AllpassDelay::limitGain(-kDensityGain * s.density);
    c.gain[d + 2] = AllpassDelay::limitGain(kFixedDiffuserGain);
    c.gain[d + 3] = AllpassDelay::limitGain(kFixedDiffuserGain);
}

void computeEarlyDamping(const ReverbSettings& s, ReverbCoefficients& c) {
    c.damping[kEarlyLineIndex] = cutoffCoefficient(kEarlyCutoff, s.sampleRate);
}

void computeHighCut(const ReverbSettings& s, ReverbCoefficients& c) {
    c.highCut = cutoffCoefficient(s.highCut, s.sampleRate);
}

void computeLowCut(const ReverbSettings& s, ReverbCoefficients& c) { c.lowCut = cutoffCoefficient(s.lowCut, s.sampleRate); }

// The settings taken as they are.
void copyDirect(const ReverbSettings& s, ReverbCoefficients& c) {
    c.gain[kEarlyLineIndex] = s.earlyLevel;
    c.lateLevel = s.lateLevel;
    c.pan = s.pan;
    c.threshold = s.threshold;
    c.dry = s.dry;
}

// Bit for bit, so that a NaN or a zero of the other sign counts as a change too.
bool same(float a, float b) {
    uint32_t x, y;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}
bool same(int32_t a, int32_t b) { return a == b; }

}  // namespace

ReverbCoefficients computeCoefficients(const ReverbSettings& s) {
    ReverbCoefficients c;
    computeLengths(s, c.length);
    computeHold(s, c);
    computeReleaseAndAttack(s, c);
    computeLateGains(s, c);
    computeLateDamping(s, c);
    computeDiffuserGains(s, c);
    computeEarlyDamping(s, c);
    computeHighCut(s, c);
    computeLowCut(s, c);
    copyDirect(s, c);
    return c;
}

void updateCoefficients(const ReverbSettings& was, const ReverbSettings& s, ReverbCoefficients& c) {
    const bool rate = !same(was.sampleRate, s.sampleRate);
    const bool room = !same(was.roomSize, s.roomSize);
    if (rate || room || !same(was.earlyDelay, s.earlyDelay)) computeLengths(s, c.length);
    if (rate || !same(was.holdTime, s.holdTime)) computeHold(s, c);
    if (rate || !same(was.releaseTime, s.releaseTime) || !same(was.attackTime, s.attackTime))
        computeReleaseAndAttack(s, c);
    if (room || !same(was.t60, s.t60)) computeLateGains(s, c);
    if (rate || room || !same(was.damping, s.damping)) computeLateDamping(s, c);
    if (!same(was.density, s.density)) computeDiffuserGains(s, c);
    if (rate) computeEarlyDamping(s, c);
    if (rate || !same(was.highCut, s.highCut)) computeHighCut(s, c);
    if (rate || !same(was.lowCut, s.lowCut)) computeLowCut(s, c);
    copyDirect(s, c);
}
