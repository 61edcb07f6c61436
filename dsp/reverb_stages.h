// The engine's signal path as stages, in the order the signal takes them. While frames run,
// each stage holds a copy of its blocks' coefficients and state (which the compiler can keep
// in registers, as no store to a buffer can reach them) and hands the state back at the end.
// Each step is written once for one frame (float) and for four consecutive frames (Lanes);
// only the recursive filters, which cannot take four frames at once, go lane by lane.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dsp/allpass_delay.h"
#include "dsp/damped_delay.h"
#include "dsp/engine_constants.h"
#include "dsp/lanes.h"
#include "dsp/one_pole_filter.h"
#include "dsp/reverb_settings.h"

namespace stages {

using lanes::Lanes;
using lanes::Mask;

// Runs a per-frame step over the four lanes, in frame order.
template <class Step>
inline Lanes laneByLane(Lanes x, Step step) {
    const float a = step(x[0]);
    const float b = step(x[1]);
    const float c = step(x[2]);
    return Lanes{a, b, c, step(x[3])};
}

// Lines run side by side: their slots from their positions, the frames they can run before
// any of them wraps, and the steps on.
template <class Line, int N>
inline void slotsOf(Line (&lines)[N], float* (&slots)[N]) {
    for (int k = 0; k < N; ++k) slots[k] = lines[k].slots(lines[k].position());
}

template <class Line, int N>
inline int32_t toWrap(const Line (&lines)[N]) {
    int32_t n = INT32_MAX;
    for (int k = 0; k < N; ++k) n = std::min(n, lines[k].stepsToWrap(lines[k].position()));
    return n;
}

template <class Line, int N>
inline void advance(Line (&lines)[N], int32_t n, bool mayWrap) {
    for (int k = 0; k < N; ++k) lines[k].advance(n, mayWrap);
}

// Input band filter: the mono sum through the high cut, less that through the low cut.
class BandFilter {
public:
    BandFilter(const OnePoleFilter& highCut, const OnePoleFilter& lowCut) : highCut_(highCut), lowCut_(lowCut) {}

    float run(float m) {
        highCut_.process(m);
        lowCut_.process(highCut_.output());
        return lowCut_.output() - highCut_.output();
    }
    Lanes run(Lanes m) {
        return laneByLane(m, [this](float x) { return run(x); });
    }

    void finish(OnePoleFilter& highCut, OnePoleFilter& lowCut) const {
        highCut = highCut_;
        lowCut = lowCut_;
    }

private:
    OnePoleFilter highCut_;
    OnePoleFilter lowCut_;
};

// The four allpass diffusers in series.
class Diffusion {
public:
    explicit Diffusion(const AllpassDelay* diffusers) {
        for (int k = 0; k < kDiffuserCount; ++k) {
            gain_[k] = diffusers[k].gain();
            last_[k] = diffusers[k].output();
        }
    }

    void start(AllpassDelay (&diffusers)[kDiffuserCount]) { slotsOf(diffusers, slots_); }

    template <class T>
    T run(int32_t at, T x) {
        for (int k = 0; k < kDiffuserCount; ++k) {
            T slot = lanes::loadAs<T>(slots_[k] + at);
            x = AllpassDelay::pass(gain_[k], x, slot);
            lanes::store(slots_[k] + at, slot);
            keepLast(k, x);
        }
        return x;
    }

    // After groups of four frames: their last frame's outputs are the ones to keep.
    void endGroups() {
        for (int k = 0; k < kDiffuserCount; ++k) last_[k] = lanes::lastOf(lastGroup_[k]);
    }

    void finish(AllpassDelay* diffusers) const {
        for (int k = 0; k < kDiffuserCount; ++k) diffusers[k].setOutput(last_[k]);
    }

private:
    void keepLast(int k, float x) { last_[k] = x; }
    void keepLast(int k, Lanes x) { lastGroup_[k] = x; }

    float gain_[kDiffuserCount];
    float last_[kDiffuserCount];
    Lanes lastGroup_[kDiffuserCount] = {};
    float* slots_[kDiffuserCount];
};

// Early reflection: each frame writes its slot, then reads the next one, which holds the
// frame the line's length ago.
class EarlyReflection {
public:
    explicit EarlyReflection(const DampedDelay& line) : damping_(line.damping()), gain_(line.gain()) {}

    void start(DampedDelay& line) {
        written_ = line.slots(line.position());
        read_ = line.slots(line.nextPosition());
    }

    // It reads one slot ahead of the one it writes: both must stay short of the wrap.
    static int32_t toWrap(const DampedDelay& line) {
        return std::min(line.stepsToWrap(line.position()), line.stepsToWrap(line.nextPosition()));
    }

    // One frame; on a line of length 1 or 0 it reads the slot it has just written.
    float run(int32_t i, float s) {
        written_[i] = damped(s) * gain_;
        return read_[i];
    }
    // Four frames: they read four slots beyond the one written first, before writing.
    Lanes run(int32_t at, Lanes s) {
        const Lanes e = lanes::load(read_ + at);
        lanes::store(written_ + at, laneByLane(s, [this](float x) { return damped(x); }) * gain_);
        return e;
    }

    void finish(DampedDelay& line) const { line.setDamping(damping_); }

private:
    float damped(float x) {
        damping_.process(x);
        return damping_.output();
    }

    OnePoleFilter damping_;
    float gain_;
    float* written_ = nullptr;
    const float* read_ = nullptr;
};

// What the late lines hold for a frame, read before the frame writes them.
template <class T>
struct Taps {
    T d0, d1, d2, d3;
};

// Late network: four damped lines fed back through a Hadamard matrix, with the diffused
// signal added to every line. The four filter states run side by side as lanes.
class LateNetwork {
public:
    LateNetwork(const DampedDelay* lines, float level) : level_(level) {
        for (int k = 0; k < kLateLineCount; ++k) {
            in_[k] = 1.0f - lines[k].coefficient();
            back_[k] = lines[k].coefficient();
            gain_[k] = lines[k].gain();
            state_[k] = lines[k].damping().output();
        }
    }

    void start(DampedDelay (&lines)[kLateLineCount]) { slotsOf(lines, slots_); }

    template <class T>
    Taps<T> run(int32_t at, T s) {
        const Taps<T> d{lanes::loadAs<T>(slots_[0] + at), lanes::loadAs<T>(slots_[1] + at),
                        lanes::loadAs<T>(slots_[2] + at), lanes::loadAs<T>(slots_[3] + at)};
        const T u = s * level_;
        const T d01 = d.d1 + d.d0;
        T f0 = u - ((d01 + d.d3) + d.d2);
        T f1 = (((d.d1 - d.d0) - d.d2) + d.d3) + u;
        T f2 = ((d.d3 - d01) + d.d2) + u;
        T f3 = (((d.d0 - d.d1) - d.d2) + d.d3) + u;
        write(at, f0, f1, f2, f3);
        return d;
    }

    void finish(DampedDelay* lines) const {
        for (int k = 0; k < kLateLineCount; ++k) lines[k].setDamping(OnePoleFilter(back_[k], state_[k]));
    }

private:
    // One frame's input to the four lines, line by line, through their filters and gains.
    Lanes damped(Lanes x) {
        state_ = OnePoleFilter::next(in_, back_, x, state_);
        return state_ * gain_;
    }

    void write(int32_t i, float f0, float f1, float f2, float f3) {
        const Lanes stored = damped(Lanes{f0, f1, f2, f3});
        for (int k = 0; k < kLateLineCount; ++k) slots_[k][i] = stored[k];
    }
    // Four frames by line turned into lines by frame, run frame by frame, and turned back.
    void write(int32_t at, Lanes f0, Lanes f1, Lanes f2, Lanes f3) {
        lanes::transpose(f0, f1, f2, f3);
        f0 = damped(f0);
        f1 = damped(f1);
        f2 = damped(f2);
        f3 = damped(f3);
        lanes::transpose(f0, f1, f2, f3);
        lanes::store(slots_[0] + at, f0);
        lanes::store(slots_[1] + at, f1);
        lanes::store(slots_[2] + at, f2);
        lanes::store(slots_[3] + at, f3);
    }

    float level_;
    Lanes in_, back_, gain_, state_;
    float* slots_[kLateLineCount];
};

// Stereo combination of the early reflection and the late taps, and the balance.
class StereoOutput {
public:
    explicit StereoOutput(float pan) : leftPan_(1.0f - pan), rightPan_(pan) {}

    template <class T>
    void run(T e, const Taps<T>& d, T& left, T& right) const {
        left = leftPan_ * (e + (((d.d0 - d.d2) * kWidth + d.d3) + d.d1));
        right = rightPan_ * (e + (((d.d2 - d.d0) * kWidth + d.d3) + d.d1));
    }

private:
    float leftPan_;
    float rightPan_;
};

// The gate one frame at a time, its decisions taken as masks so that a noisy input costs no
// mispredicted branches. Every lane carries the same state.
class Gate {
public:
    Gate(float holdTimer, float gain, const ReverbCoefficients& c)
        : hold_(lanes::splat(holdTimer)),
          gain_(lanes::splat(gain)),
          holdCoef_(lanes::splat(c.holdCoef)),
          releaseFactor_(lanes::splat(c.releaseCoef + kReleaseBias)),
          threshold_(lanes::splat(c.threshold)),
          attackStep_(lanes::splat(c.attackStep)) {}

    // The gain for a frame of mono sum m.
    float run(float m) {
        const Mask loud = lanes::magnitude(lanes::splat(m)) > threshold_;
        step(lanes::where(loud, lanes::splat(1.0f)), lanes::where(loud, attackStep_));
        return gain_[0];
    }

    // The gains for four frames. Long stretches in which the gain stays put or only falls
    // take shortcuts with the same results.
    Lanes run(Lanes m) {
        using lanes::spread;
        const Mask loud = lanes::magnitude(m) > threshold_;
        const Lanes opened = lanes::where(loud, lanes::splat(1.0f));
        const Lanes lowest = hold_ * holdCoef_ * holdCoef_ * holdCoef_ * holdCoef_;
        if (gain_[0] >= 1.0f && lowest[0] >= kHoldExpired) {
            // No frame can run the timer out, and loud ones find the gain at unity or above.
            hold_ = lanes::largest(hold_ * holdCoef_, spread<0>(opened));
            hold_ = lanes::largest(hold_ * holdCoef_, spread<1>(opened));
            hold_ = lanes::largest(hold_ * holdCoef_, spread<2>(opened));
            hold_ = lanes::largest(hold_ * holdCoef_, spread<3>(opened));
            return gain_;
        }
        if (!lanes::any(loud) && hold_[0] < kHoldExpired) {
            // Quiet after the timer ran out: both decay.
            hold_ = hold_ * holdCoef_ * holdCoef_ * holdCoef_ * holdCoef_;
            const Lanes gain0 = gain_ * releaseFactor_;
            const Lanes gain1 = gain0 * releaseFactor_;
            const Lanes gain2 = gain1 * releaseFactor_;
            gain_ = gain2 * releaseFactor_;
            return lanes::gather(gain0, gain1, gain2, gain_);
        }
        const Lanes rise = lanes::where(loud, attackStep_);
        step(spread<0>(opened), spread<0>(rise));
        const Lanes gain0 = gain_;
        step(spread<1>(opened), spread<1>(rise));
        const Lanes gain1 = gain_;
        step(spread<2>(opened), spread<2>(rise));
        const Lanes gain2 = gain_;
        step(spread<3>(opened), spread<3>(rise));
        return lanes::gather(gain0, gain1, gain2, gain_);
    }

    float holdTimer() const { return hold_[0]; }
    float gain() const { return gain_[0]; }

private:
    // opened is 1 for a loud frame, else 0; rise is the attack step for a loud frame, else 0.
    void step(Lanes opened, Lanes rise) {
        // A loud frame sets the timer to 1, a quiet one decays it (to below 1).
        hold_ = lanes::largest(hold_ * holdCoef_, opened);
        // While the timer holds (a loud frame included) the gain keeps × 1, else it falls.
        const Lanes factor = lanes::largest(releaseFactor_, lanes::where(hold_ >= kHoldExpired, lanes::splat(1.0f)));
        // A loud frame below unity adds the step; + 0 leaves the gain as it was.
        gain_ = gain_ * factor + lanes::where(gain_ < 1.0f, rise);
    }

    Lanes hold_;
    Lanes gain_;
    Lanes holdCoef_;
    Lanes releaseFactor_;
    Lanes threshold_;
    Lanes attackStep_;
};

// The output peak: |left| then |right| of every frame, each taken where strictly greater.
// Four frames go to four lane-wise peaks, folded into one at the end.
class PeakMeter {
public:
    explicit PeakMeter(float peak) : peak_(peak), peaks_(lanes::splat(peak)) {}

    void run(float left, float right) {
        peak_ = lanes::largest(lanes::magnitude(left), peak_);
        peak_ = lanes::largest(lanes::magnitude(right), peak_);
    }
    void run(Lanes left, Lanes right) {
        peaks_ = lanes::largest(lanes::magnitude(left), peaks_);
        peaks_ = lanes::largest(lanes::magnitude(right), peaks_);
    }

    // The largest of all frames, whichever lane or order it came in.
    float peak() const {
        float peak = peak_;
        for (int j = 0; j < 4; ++j) peak = peaks_[j] > peak ? peaks_[j] : peak;
        return peak;
    }

private:
    float peak_;
    Lanes peaks_;
};

}  // namespace stages
