// The engine's settings: their limits, and the coefficients the next block takes over.
#include "dsp/reverb_engine.h"

#include <algorithm>

ReverbEngine::ReverbEngine() {
    for (int i = 0; i < kLineCount; ++i) {
        const float gain = i < kFirstDiffuserIndex ? 1.0f : 0.0f;
        valid_ = line(i).allocate(0, lineCapacity(i), gain) && valid_;
        shortestPassed_[i] = lineCapacity(i);
    }
    setSampleRate(kStartSampleRate);
    adoptSettings();
}

ReverbEngine::~ReverbEngine() = default;

DelayBuffer& ReverbEngine::line(int index) {
    if (index < kLateLineCount) return lateLines[index];
    if (index == kEarlyLineIndex) return earlyLine;
    return diffusers[index - kFirstDiffuserIndex];
}

// Every length is set again, and setting a length clears from the length in force: so the
// next block must clear from the lowest length passed through since the last one.
void ReverbEngine::recompute() {
    for (int i = 0; i < kLineCount; ++i) shortestPassed_[i] = std::min(shortestPassed_[i], latest_.length[i]);
    latest_ = computeCoefficients(settings_);
    settingChanged();
}

void ReverbEngine::configure(const ReverbSettings& wanted, bool reshape, const int32_t (&lengthsPassed)[kLineCount],
                             bool gateReset) {
    const ReverbSettings next = limitSettings(wanted);
    if (reshape) {
        for (int i = 0; i < kLineCount; ++i) shortestPassed_[i] = std::min(shortestPassed_[i], lengthsPassed[i]);
        settings_ = next;
        recompute();
    } else {
        setLateLevel(next.lateLevel);
        setDry(next.dry);
        setPan(next.pan);
        settings_.threshold = latest_.threshold = next.threshold;
    }
    if (gateReset) openGate();
}

void ReverbEngine::setSampleRate(int32_t rate) {
    rate = limitSetting(rate, kMinSampleRate, kMaxSampleRate);
    if (rate == settings_.sampleRate) return;
    settings_.sampleRate = rate;
    recompute();
}

void ReverbEngine::updateCoefficients() { recompute(); }

// Settings that shape lengths, gains or filters recompute everything.
template <class Change>
void ReverbEngine::reshape(Change change) {
    change(settings_);
    settings_ = limitSettings(settings_);
    recompute();
}

void ReverbEngine::setT60(float seconds) {
    reshape([=](ReverbSettings& s) { s.t60 = seconds; });
}

void ReverbEngine::setDamping(float hertz) {
    reshape([=](ReverbSettings& s) { s.damping = hertz; });
}

void ReverbEngine::setDensity(float density) {
    reshape([=](ReverbSettings& s) { s.density = density; });
}

void ReverbEngine::setRoomSize(float size) {
    reshape([=](ReverbSettings& s) { s.roomSize = size; });
}

void ReverbEngine::setHighCut(float hertz) {
    reshape([=](ReverbSettings& s) { s.highCut = hertz; });
}

void ReverbEngine::setLowCut(float hertz) {
    reshape([=](ReverbSettings& s) { s.lowCut = hertz; });
}

void ReverbEngine::setHold(float seconds) {
    reshape([=](ReverbSettings& s) { s.holdTime = seconds; });
}

// Stored as given; a value below 0 or NaN gives the early line a length of 0.
void ReverbEngine::setEarlyDelay(float fraction) {
    reshape([=](ReverbSettings& s) { s.earlyDelay = fraction; });
}

void ReverbEngine::setEarlyLevel(float gain) {
    reshape([=](ReverbSettings& s) { s.earlyLevel = gain; });
}

// The rest act frame by frame and leave the lines alone.
void ReverbEngine::setLateLevel(float gain) {
    settings_.lateLevel = latest_.lateLevel = gain;
    settingChanged();
}

void ReverbEngine::setDry(bool dry) {
    settings_.dry = latest_.dry = dry;
    settingChanged();
}

void ReverbEngine::setPan(float pan) {
    settings_.pan = latest_.pan = limitSetting(pan, 0.0f, 1.0f);
    settingChanged();
}

void ReverbEngine::setSensitivity(float sensitivity) {
    settings_.threshold = latest_.threshold = thresholdFor(sensitivity);
    openGate();
}

// The next block starts with the gate open, and the panel shows it open from now on.
void ReverbEngine::openGate() {
    gateResetPending_ = true;
    shownGateState_.store(GateOpen, std::memory_order_relaxed);
    settingChanged();
}
