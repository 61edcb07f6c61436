#include "dsp/reverb_settings.h"

#include <algorithm>
#include <cmath>

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

ReverbCoefficients computeCoefficients(const ReverbSettings& s) {
    ReverbCoefficients c;
    const double sr = s.sampleRate;
    const double room = s.roomSize;
    computeLengths(s, c.length);

    c.holdCoef = static_cast<float>(portable::exp(-1.0 / (sr * s.holdTime)));
    c.releaseCoef = static_cast<float>(portable::exp(-1.0 / (sr * s.releaseTime)));
    c.attackStep = static_cast<float>(1.0 / (sr * s.attackTime));

    for (int k = 0; k < kLateLineCount; ++k)
        c.gain[k] = static_cast<float>(kLineGainScale * portable::pow10(room * kGainExponent[k] / (s.t60 * 20.0)));
    for (int k = 0; k < kLateLineCount; ++k) {
        const auto frequency = static_cast<float>(s.damping / (room * kLineRatio[k]));
        c.damping[k] = cutoffCoefficient(frequency, s.sampleRate);
    }

    const int d = kFirstDiffuserIndex;
    c.gain[d + 0] = AllpassDelay::limitGain(kDensityGain * s.density);
    c.gain[d + 1] = AllpassDelay::limitGain(-kDensityGain * s.density);
    c.gain[d + 2] = AllpassDelay::limitGain(kFixedDiffuserGain);
    c.gain[d + 3] = AllpassDelay::limitGain(kFixedDiffuserGain);

    c.damping[kEarlyLineIndex] = cutoffCoefficient(kEarlyCutoff, s.sampleRate);
    c.gain[kEarlyLineIndex] = s.earlyLevel;

    c.highCut = cutoffCoefficient(s.highCut, s.sampleRate);
    c.lowCut = cutoffCoefficient(s.lowCut, s.sampleRate);

    c.lateLevel = s.lateLevel;
    c.pan = s.pan;
    c.threshold = s.threshold;
    c.dry = s.dry;
    return c;
}
