// The whole signal path: mono sum -> input band filter -> four diffusers -> early reflection
// and a four-line Hadamard late network -> stereo combination, balance, gate, dry.
//
// Two sides. Setters, setSampleRate and updateCoefficients may run on any thread (they
// serialise among themselves); each change is worked out there and handed over without
// locks. process and processBlock run on the audio thread and pick up the newest settings
// at their start, so every change takes effect between two blocks, exactly as if it had
// been made there.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "dsp/allpass_delay.h"
#include "dsp/damped_delay.h"
#include "dsp/engine_constants.h"
#include "dsp/handover.h"
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

    // Control side: any thread.
    void setSampleRate(int32_t rate);
    void updateCoefficients();
    void setT60(float seconds);
    void setDamping(float hertz);
    void setDensity(float density);
    void setRoomSize(float size);
    void setLateLevel(float gain);
    void setHighCut(float hertz);
    void setLowCut(float hertz);
    void setDry(bool dry);
    void setPan(float pan);
    void setSensitivity(float sensitivity);
    void setHold(float seconds);
    void setEarlyDelay(float fraction);
    void setEarlyLevel(float gain);

    int32_t gateState() const { return shownGateState_.load(std::memory_order_relaxed); }
    int32_t sampleRate() const;
    ReverbSettings settings() const;
    ReverbCoefficients coefficients() const;  // as last worked out by the control side

    // Audio side. One frame; the result is left in outLeft and outRight.
    void process(float left, float right);

    // Per frame: inputs + offset into the engine, output stored (or added when accumulating),
    // peak raised to |left| then |right| where strictly greater. Leaves the last frame in
    // outLeft and outRight.
    void processBlock(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                      int32_t frames, float offset, bool accumulate, float& peak);

    float outLeft = 0.0f;
    float outRight = 0.0f;

private:
    // What one hand-over carries: the complete set, plus what happened since the audio
    // thread last took one.
    struct Update {
        ReverbCoefficients coefficients;
        int32_t clearFrom[kLineCount];  // lowest length any line passed through; capacity if none
        bool gateReset;
    };
    static void fold(Update& newer, const Update& withdrawn);

    // Control side; callers hold controlMutex_.
    void recompute();
    void publish();
    template <class Change>
    void reshape(Change change);

    // Audio side.
    void adoptSettings();
    DelayBuffer& line(int index);
    template <bool Gated, bool Dry, class Io>
    void run(int32_t frames, Io& io);
    template <class Io>
    void dispatch(int32_t frames, Io& io);

    // Signal path, owned by the audio side.
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

    // Control side.
    mutable std::mutex controlMutex_;
    ReverbSettings settings_;
    ReverbCoefficients latest_;
    int32_t pendingClear_[kLineCount];
    bool pendingGateReset_ = false;

    Handover<Update> handover_;
    std::atomic<int32_t> shownGateState_{GateOpen};
    bool valid_ = true;
};
