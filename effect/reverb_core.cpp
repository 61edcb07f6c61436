#include "effect/reverb_core.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "dsp/portable_math.h"
#include "effect/input_guard.h"

namespace {

constexpr float kMilliseconds = 0.001f;

// The settings that act frame by frame; a change to only these leaves the lines alone.
constexpr uint32_t kFrameByFrame = 1u << kPan | 1u << kDryOut | 1u << kSensitivity;

float decibelsToGain(double decibels) { return static_cast<float>(portable::pow10(decibels * 0.05)); }

// The engine takes its two wet levels as given, and one infinite or NaN level would fill its
// delay lines with values no later setting can wash out. Host values outside [0, 1] keep
// their stored value, but the engine hears at most the top of Out's range (+20 dB), and a
// NaN level as silence; every level inside the range passes unchanged.
constexpr float kMaxWetLevel = 10.0f;

float saneLevel(float level) {
    if (std::isnan(level)) return 0.0f;
    return std::min(std::max(level, -kMaxWetLevel), kMaxWetLevel);
}

}  // namespace

ReverbCore::ReverbCore() {
    for (int i = 0; i < kProgramCount; ++i) programs_[i].loadFactory(i);
    for (int i = 0; i < kLineCount; ++i) lengthsPassed_[i].store(lineCapacity(i), std::memory_order_relaxed);
    publishEngineLengths();
    mark(kProgramChanged);
}

void ReverbCore::setParameter(int index, float value) {
    if (!isParameterIndex(index)) return;
    const uint32_t change = 1u << index;
    if ((change & kFrameByFrame) == 0) noteLengthsInForce();
    currentProgram().values[index].store(value, std::memory_order_relaxed);
    mark(change);
}

float ReverbCore::getParameter(int index) const {
    return isParameterIndex(index) ? programAt(program()).values[index].load(std::memory_order_relaxed) : 0.0f;
}

// Taking over a program sets each of its values in turn: the lines pass through the
// lengths of the old program and of the new one.
void ReverbCore::setProgram(int program) {
    if (program < 0 || program >= kProgramCount) return;
    noteLengthsInForce();
    program_.store(program, std::memory_order_release);
    noteLengthsInForce();
    mark(kProgramChanged);
}

void ReverbCore::setSampleRate(float rate) {
    if (!(rate > 0.0f)) return;
    noteLengthsInForce();
    sampleRate_.store(portable::truncateToInt32(rate), std::memory_order_relaxed);
    mark(kRateChanged);
}

void ReverbCore::resume() { mark(kResumed); }

int ReverbCore::gateState() const {
    // A new sensitivity or program opens the gate; the LED shows it before the next block.
    const uint32_t opening = 1u << kSensitivity | kProgramChanged;
    if (changes_.load(std::memory_order_relaxed) & opening) return ReverbEngine::GateOpen;
    return engine_.gateState();
}

// Out's gain for a stored value; the last one is kept, as most blocks bring no new Out.
float ReverbCore::OutGain::of(float value) {
    if (std::memcmp(&value, &value_, sizeof value) != 0) {
        value_ = value;
        gain_ = saneLevel(decibelsToGain(physicalValue(kOut, value)));
    }
    return gain_;
}

// The engine's settings for the current program's stored values.
ReverbSettings ReverbCore::settingsNow() {
    const ReverbProgram& p = programAt(program());
    float v[kParameterCount];
    for (int i = 0; i < kParameterCount; ++i) v[i] = p.values[i].load(std::memory_order_relaxed);

    const float outGain = outGain_.of(v[kOut]);
    ReverbSettings s;
    s.sampleRate = sampleRate_.load(std::memory_order_relaxed);
    s.pan = v[kPan];
    s.lateLevel = outGain;
    s.earlyLevel = saneLevel(v[kEarlyLevel] * outGain);
    s.t60 = static_cast<float>(physicalValue(kT60, v[kT60]) * kMilliseconds);
    s.damping = static_cast<float>(physicalValue(kDamping, v[kDamping]));
    s.density = v[kDensity];
    s.earlyDelay = v[kEarlyDelay];
    s.highCut = static_cast<float>(physicalValue(kHighCut, v[kHighCut]));
    s.lowCut = static_cast<float>(physicalValue(kLowCut, v[kLowCut]));
    s.dry = v[kDryOut] > 0.5f;
    s.threshold = thresholdFor(v[kSensitivity]);
    s.holdTime = static_cast<float>(physicalValue(kHold, v[kHold]) * kMilliseconds);
    s.roomSize = v[kRoomSize];
    return s;
}

// A change sets every length again, which clears each line from the length in force; the
// next block clears from the lowest length any change found. Only the sample rate, Room size
// and Early ref delay shape the lengths, so only they are read.
void ReverbCore::noteLengthsInForce() {
    const ReverbProgram& p = programAt(program());
    int32_t length[kLineCount];
    computeLengths(sampleRate_.load(std::memory_order_relaxed), p.values[kRoomSize].load(std::memory_order_relaxed),
                   p.values[kEarlyDelay].load(std::memory_order_relaxed), length);
    for (int i = 0; i < kLineCount; ++i) {
        // The engine clears from its own lengths anyway: only a shorter one needs noting.
        int32_t lowest = std::min(lengthsPassed_[i].load(std::memory_order_relaxed),
                                  lengthsInEngine_[i].load(std::memory_order_relaxed));
        while (length[i] < lowest &&
               !lengthsPassed_[i].compare_exchange_weak(lowest, length[i], std::memory_order_relaxed)) {}
    }
}

void ReverbCore::takeOverChanges() {
    if (changes_.load(std::memory_order_relaxed) == 0) return;
    const uint32_t changes = changes_.exchange(0, std::memory_order_acquire);
    int32_t lengthsPassed[kLineCount];
    for (int i = 0; i < kLineCount; ++i) {
        // A line nobody noted needs no exchange: a note landing now counts for the next block.
        const int32_t capacity = lineCapacity(i);
        lengthsPassed[i] = lengthsPassed_[i].load(std::memory_order_relaxed) == capacity
                               ? capacity
                               : lengthsPassed_[i].exchange(capacity, std::memory_order_relaxed);
    }
    const bool reshape = (changes & ~kFrameByFrame) != 0;
    const bool gateReset = (changes & (1u << kSensitivity | kProgramChanged)) != 0;
    engine_.configure(settingsNow(), reshape, lengthsPassed, gateReset);
    publishEngineLengths();
}

void ReverbCore::publishEngineLengths() {
    for (int i = 0; i < kLineCount; ++i)
        lengthsInEngine_[i].store(engine_.coefficients().length[i], std::memory_order_relaxed);
}

void ReverbCore::render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                        bool accumulate) {
    const float offset = beginBlock();
    renderFrames(inLeft, inRight, outLeft, outRight, frames, offset, accumulate);
}

float ReverbCore::beginBlock() {
    takeOverChanges();
    return noise_.next();  // one offset per block keeps the filters out of denormals
}

void ReverbCore::renderFrames(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                              int frames, float offset, bool accumulate) {
    if (frames <= 0 || !inLeft || !inRight || !outLeft || !outRight) return;
    float blockPeak = 0.0f;
    using namespace inputguard;
    if (isClean(inLeft, frames) && isClean(inRight, frames)) {
        engine_.processBlock(inLeft, inRight, outLeft, outRight, frames, offset, accumulate, blockPeak);
    } else {
        // Rare: the host handed over a broken block. Feed the engine a cleaned copy, piece by piece.
        for (int done = 0; done < frames; done += kCleanFrames) {
            const int n = std::min(frames - done, kCleanFrames);
            cleanInto(cleanLeft_, inLeft + done, n);
            cleanInto(cleanRight_, inRight + done, n);
            engine_.processBlock(cleanLeft_, cleanRight_, outLeft + done, outRight + done, n, offset, accumulate,
                                 blockPeak);
        }
    }
    raisePeak(blockPeak);
}

// The lines' lengths one after another, then the decay to 2.5 times T60's 60 dB: below
// the last bit of 24-bit audio.
double ReverbCore::tailSeconds() const {
    constexpr double kDecays = 2.5;
    const ReverbProgram& p = programAt(program());
    ReverbSettings s;
    s.sampleRate = sampleRate_.load(std::memory_order_relaxed);
    s.roomSize = p.values[kRoomSize].load(std::memory_order_relaxed);
    s.earlyDelay = p.values[kEarlyDelay].load(std::memory_order_relaxed);
    s.t60 = static_cast<float>(physicalValue(kT60, p.values[kT60].load(std::memory_order_relaxed)) * kMilliseconds);
    s = limitSettings(s);
    int32_t length[kLineCount];
    computeLengths(s, length);
    double frames = 0.0;
    for (int32_t n : length) frames += n;
    return frames / s.sampleRate + kDecays * s.t60;
}

// Only the meter's reset competes with this, so the loop retries at most once per reset.
void ReverbCore::raisePeak(float blockPeak) {
    raise(peak_, blockPeak);
    raise(panelPeak_, blockPeak);
}

void ReverbCore::raise(std::atomic<float>& peak, float blockPeak) {
    float held = peak.load(std::memory_order_relaxed);
    while (blockPeak > held && !peak.compare_exchange_weak(held, blockPeak, std::memory_order_relaxed)) {}
}
