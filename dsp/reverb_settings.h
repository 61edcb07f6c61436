// The engine's settings as configure leaves them, and everything the frame loop needs,
// worked out from them in the order the coefficient update fixes.
#pragma once

#include <cstdint>

#include "dsp/engine_constants.h"

struct ReverbSettings {
    float lateLevel = kStartLateLevel;
    int32_t sampleRate = -1;  // the constructor sets kStartSampleRate
    float t60 = kStartT60;
    float damping = kStartDamping;
    float density = kStartDensity;
    bool dry = false;
    float pan = kStartPan;
    float roomSize = kStartRoomSize;
    float highCut = kStartHighCut;
    float lowCut = kStartLowCut;
    float earlyLevel = kStartEarlyLevel;
    float earlyDelay = kStartEarlyDelay;
    float holdTime = kStartHoldTime;
    float threshold = 0.0f;
    float releaseTime = kReleaseTime;
    float attackTime = kAttackTime;
};

// Lines are indexed late 0..3, early, diffusers 0..3 (see engine_constants.h).
struct ReverbCoefficients {
    int32_t length[kLineCount] = {};
    float gain[kLineCount] = {};
    float damping[kLineCount] = {};  // lowpass coefficient of the damped lines; 0 for diffusers
    float highCut = 0.0f;            // input filter coefficients
    float lowCut = 0.0f;
    float holdCoef = 0.0f;
    float releaseCoef = 0.0f;
    float attackStep = 0.0f;
    // Taken as they are, frame by frame.
    float lateLevel = kStartLateLevel;
    float pan = kStartPan;
    float threshold = 0.0f;
    bool dry = false;
};

// Above the upper limit gives the upper limit; anything not at or above the lower limit
// (a NaN too) gives the lower limit.
template <class T>
T limitSetting(T value, T lower, T upper) {
    if (value > upper) return upper;
    if (!(value >= lower)) return lower;
    return value;
}

// The gate's threshold for a sensitivity; outside 0..1 the nearer end counts.
inline float thresholdFor(float sensitivity) { return 1.0f - limitSetting(sensitivity, 0.0f, 1.0f); }

// The settings with every limit the engine applies. The levels and
// the early delay stay as given; the early delay is limited by the line's capacity.
ReverbSettings limitSettings(ReverbSettings settings);

ReverbCoefficients computeCoefficients(const ReverbSettings& settings);

// The coefficients for `now`, given those for `was`: only the groups whose settings differ
// are worked out again, to the same bits computeCoefficients(now) gives.
void updateCoefficients(const ReverbSettings& was, const ReverbSettings& now, ReverbCoefficients& coefficients);

// The lengths alone, as computeCoefficients works them out.
void computeLengths(const ReverbSettings& settings, int32_t (&length)[kLineCount]);
// The same for unlimited values of the only three settings the lengths depend on.
void computeLengths(int32_t sampleRate, float roomSize, float earlyDelay, int32_t (&length)[kLineCount]);

inline int32_t lineCapacity(int line) {
    if (line < kLateLineCount) return kLateCapacity[line];
    if (line == kEarlyLineIndex) return kEarlyCapacity;
    return kDiffuserCapacity[line - kFirstDiffuserIndex];
}
