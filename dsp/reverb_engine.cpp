// Control side of the engine: settings, their limits, and the hand-over to the audio thread.
#include "dsp/reverb_engine.h"

#include <algorithm>
#include <cstring>

ReverbEngine::ReverbEngine()
{
    for (int i = 0; i < kLineCount; ++i) {
        const float gain = i < kFirstDiffuserIndex ? 1.0f : 0.0f;
        valid_ = line(i).allocate(0, lineCapacity(i), gain) && valid_;
        pendingClear_[i] = lineCapacity(i);
    }
    setSampleRate(kStartSampleRate);
    adoptSettings();
}

ReverbEngine::~ReverbEngine() = default;

DelayBuffer& ReverbEngine::line(int index)
{
    if (index < kLateLineCount)
        return lateLines[index];
    if (index == kEarlyLineIndex)
        return earlyLine;
    return diffusers[index - kFirstDiffuserIndex];
}

void ReverbEngine::fold(Update& newer, const Update& withdrawn)
{
    for (int i = 0; i < kLineCount; ++i)
        newer.clearFrom[i] = std::min(newer.clearFrom[i], withdrawn.clearFrom[i]);
    newer.gateReset = newer.gateReset || withdrawn.gateReset;
}

// Every length is set again, and setting a length clears from the length in force: so the
// audio side must clear from the lowest length passed through since it last took a set.
void ReverbEngine::recompute()
{
    const ReverbCoefficients next = computeCoefficients(settings_);
    for (int i = 0; i < kLineCount; ++i)
        pendingClear_[i] = std::min(pendingClear_[i], latest_.length[i]);
    latest_ = next;
}

void ReverbEngine::publish()
{
    Update update;
    update.coefficients = latest_;
    std::memcpy(update.clearFrom, pendingClear_, sizeof pendingClear_);
    update.gateReset = pendingGateReset_;
    handover_.post(update, fold);
    for (int i = 0; i < kLineCount; ++i)
        pendingClear_[i] = lineCapacity(i);
    pendingGateReset_ = false;
}

void ReverbEngine::setSampleRate(int32_t rate)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    rate = limitSetting(rate, kMinSampleRate, kMaxSampleRate);
    if (rate == settings_.sampleRate)
        return;
    settings_.sampleRate = rate;
    recompute();
    publish();
}

void ReverbEngine::updateCoefficients()
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    recompute();
    publish();
}

// Settings that shape lengths, gains or filters recompute everything.
template <class Change>
void ReverbEngine::reshape(Change change)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    change(settings_);
    recompute();
    publish();
}

void ReverbEngine::setT60(float seconds)
{
    reshape([=](ReverbSettings& s) { s.t60 = limitSetting(seconds, kMinT60, kMaxT60); });
}

void ReverbEngine::setDamping(float hertz)
{
    reshape([=](ReverbSettings& s) { s.damping = limitSetting(hertz, kMinFrequency, kMaxDamping); });
}

void ReverbEngine::setDensity(float density)
{
    reshape([=](ReverbSettings& s) { s.density = limitSetting(density, 0.0f, 1.0f); });
}

void ReverbEngine::setRoomSize(float size)
{
    reshape([=](ReverbSettings& s) { s.roomSize = limitSetting(size, kMinRoomSize, 1.0f); });
}

void ReverbEngine::setHighCut(float hertz)
{
    reshape([=](ReverbSettings& s) { s.highCut = limitSetting(hertz, kMinFrequency, kMaxHighCut); });
}

void ReverbEngine::setLowCut(float hertz)
{
    reshape([=](ReverbSettings& s) { s.lowCut = limitSetting(hertz, kMinFrequency, kMaxLowCut); });
}

void ReverbEngine::setHold(float seconds)
{
    reshape([=](ReverbSettings& s) { s.holdTime = limitSetting(seconds, kMinHoldTime, kMaxHoldTime); });
}

// Stored as given; a value below 0 or NaN gives the early line a length of 0.
void ReverbEngine::setEarlyDelay(float fraction)
{
    reshape([=](ReverbSettings& s) { s.earlyDelay = fraction; });
}

void ReverbEngine::setEarlyLevel(float gain)
{
    reshape([=](ReverbSettings& s) { s.earlyLevel = gain; });
}

// The rest act frame by frame and leave the lines alone.
void ReverbEngine::setLateLevel(float gain)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    settings_.lateLevel = latest_.lateLevel = gain;
    publish();
}

void ReverbEngine::setDry(bool dry)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    settings_.dry = latest_.dry = dry;
    publish();
}

void ReverbEngine::setPan(float pan)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    settings_.pan = latest_.pan = limitSetting(pan, 0.0f, 1.0f);
    publish();
}

void ReverbEngine::setSensitivity(float sensitivity)
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    settings_.threshold = latest_.threshold = 1.0f - limitSetting(sensitivity, 0.0f, 1.0f);
    pendingGateReset_ = true;
    shownGateState_.store(GateOpen, std::memory_order_relaxed);
    publish();
}

int32_t ReverbEngine::sampleRate() const
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    return settings_.sampleRate;
}

ReverbSettings ReverbEngine::settings() const
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    return settings_;
}

ReverbCoefficients ReverbEngine::coefficients() const
{
    std::lock_guard<std::mutex> lock(controlMutex_);
    return latest_;
}
