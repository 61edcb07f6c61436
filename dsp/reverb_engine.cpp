// The engine's settings: their limits, and the coefficients the next block takes over.
#include "dsp/reverb_engine.h"

#include <algorithm>

ReverbEngine::ReverbEngine() {
    for (int i = 0; i < kLineCount; ++i) {
        const float gain = i < kFirstDiffuserIndex ? 1.0f : 0.0f;
        valid_ = line(i).allocate(0, lineCapacity(i), gain) && valid_;
        shortestPassed_[i] = lineCapacity(i);
    }
    settings_.sampleRate = kStartSampleRate;
    latest_ = computeCoefficients(settings_);
    settingChanged();
    adoptSettings();
}

ReverbEngine::~ReverbEngine() = default;

DelayBuffer& ReverbEngine::line(int index) {
    if (index < kLateLineCount) return lateLines[index];
    if (index == kEarlyLineIndex) return earlyLine;
    return diffusers[index - kFirstDiffuserIndex];
}

// Every length is set again, and setting a length clears from the length in force: so the
// next block must clear from the lowest length passed through since the last one. Only the
// coefficients whose settings changed are worked out again.
void ReverbEngine::reshapeTo(const ReverbSettings& next) {
    for (int i = 0; i < kLineCount; ++i) shortestPassed_[i] = std::min(shortestPassed_[i], latest_.length[i]);
    updateCoefficients(settings_, next, latest_);
    settings_ = next;
    settingChanged();
}

void ReverbEngine::configure(const ReverbSettings& wanted, bool reshape, const int32_t (&lengthsPassed)[kLineCount],
                             bool gateReset) {
    const ReverbSettings next = limitSettings(wanted);
    if (reshape) {
        for (int i = 0; i < kLineCount; ++i) shortestPassed_[i] = std::min(shortestPassed_[i], lengthsPassed[i]);
        reshapeTo(next);
    } else {
        // These act frame by frame and leave the lines alone.
        settings_.lateLevel = latest_.lateLevel = next.lateLevel;
        settings_.dry = latest_.dry = next.dry;
        settings_.pan = latest_.pan = next.pan;
        settings_.threshold = latest_.threshold = next.threshold;
        settingChanged();
    }
    if (gateReset) openGate();
}

// The next block starts with the gate open, and the panel shows it open from now on.
void ReverbEngine::openGate() {
    gateResetPending_ = true;
    shownGateState_.store(GateOpen, std::memory_order_relaxed);
    settingChanged();
}
