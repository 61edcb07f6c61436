// The whole signal path: mono sum -> input band filter -> four diffusers -> early reflection
// and a four-line Hadamard late network -> stereo combination, balance, gate, dry.
//
// One thread owns an engine: the audio thread, or a test. configure only notes the new
// settings and works the coefficients out; process and processBlock take them over at their
// start, so every change takes effect between two blocks. Several length changes between two
// blocks clear each line exactly as if each had run in turn.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/allpass_delay.h"
#include "dsp/damped_delay.h"
#include "dsp/engine_constants.h"
#include "dsp/one_pole_filter.h"
#include "dsp/reverb_settings.h"

class ReverbEngine {
public:
    enum GateState : int32_t { GateOpen = 0, GateHold = 1, GateRelease = 2 };

    ReverbEngine();
    virtual ~ReverbEngine();
    ReverbEngine(const ReverbEngine&) = delete;
    ReverbEngine& operator=(const ReverbEngine&) = delete;

    // False when a buffer could not be allocated; such an engine outputs nothing.
    bool isValid() const { return valid_; }

    // Every setting at once, each limited as limitSettings limits it. With reshape the
    // coefficients are worked out again, as a change of any length, gain or filter needs,
    // and each line is also cleared from its entry in lengthsPassed (the lengths some earlier
    // state of the caller's settings had); without it only the frame-by-frame settings
    // (late level, dry, pan, threshold) change. gateReset opens the gate, as a new
    // sensitivity must.
    void configure(const ReverbSettings& wanted, bool reshape, const int32_t (&lengthsPassed)[kLineCount],
                   bool gateReset);

    // Safe to read from any thread.
    int32_t gateState() const { return shownGateState_.load(std::memory_order_relaxed); }

    int32_t sampleRate() const { return settings_.sampleRate; }
    const ReverbSettings& settings() const { return settings_; }
    const ReverbCoefficients& coefficients() const { return latest_; }

    // One frame; the result is left in outLeft and outRight.
    void process(float left, float right);

    // Per frame: inputs + offset into the engine, output stored (or added when accumulating),
    // peak raised to |left| then |right| where strictly greater. Leaves the last frame in
    // outLeft and outRight.
    void processBlock(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t frames,
                      float offset, bool accumulate, float& peak);

    float outLeft = 0.0f;
    float outRight = 0.0f;

private:
    void reshapeTo(const ReverbSettings& next);
    void settingChanged() { adoptPending_ = true; }
    void openGate();

    void adoptSettings();
    DelayBuffer& line(int index);
    template <bool Gated, bool Dry, class Io>
    void run(int32_t frames, Io& io);
    template <class Io>
    void dispatch(int32_t frames, Io& io);

    // Signal path.
    DampedDelay lateLines[kLateLineCount];
    DampedDelay earlyLine;
    AllpassDelay diffusers[kDiffuserCount];
    OnePoleFilter highCutFilter;
    OnePoleFilter lowCutFilter;
    float holdTimer_ = 0.0f;
    float gateGain_ = 1.0f;
    int32_t gateState_ = GateOpen;
    ReverbCoefficients active_;
    int32_t framesToWrap_ = 0;  // frames the lines run before the next wrap; 0: work it out

    // Settings noted since the last block, taken over at the start of the next.
    ReverbSettings settings_;
    ReverbCoefficients latest_;
    int32_t shortestPassed_[kLineCount];  // lowest length in force before any change; capacity if none
    bool gateResetPending_ = false;
    bool adoptPending_ = false;

    std::atomic<int32_t> shownGateState_{GateOpen};
    bool valid_ = true;
};
