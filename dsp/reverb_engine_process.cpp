// Audio side of the engine: taking over new settings and running frames.
#include <algorithm>
#include <cmath>

#include "dsp/reverb_engine.h"

namespace {

// Four late lines side by side, lane k for line k.
typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneBits __attribute__((vector_size(16)));

constexpr int32_t kSign = INT32_MIN;

// Exact negation of the lanes whose mask holds the sign bit.
inline Lanes flip(Lanes x, LaneBits signs)
{
    return (Lanes)((LaneBits)x ^ signs);
}

// The four writes of the Hadamard feedback, each summed exactly as grouped for its line:
//   line 0: u − (((d1 + d0) + d3) + d2)
//   line 1: (((d1 − d0) − d2) + d3) + u
//   line 2: ((d3 − (d0 + d1)) + d2) + u
//   line 3: (((d0 − d1) − d2) + d3) + u
// Every lane runs ((±(p ± q) ± r) + s) ± … + u; as x − y is x + (−y) and negation is
// exact, each lane's result has the same bits as its line's sum.
inline Lanes feedback(Lanes d, float u)
{
    const Lanes pair = __builtin_shuffle(d, LaneBits{1, 1, 0, 0}) +
                       flip(__builtin_shuffle(d, LaneBits{0, 0, 1, 1}), LaneBits{0, kSign, 0, kSign});
    const Lanes three = flip(pair, LaneBits{0, 0, kSign, 0}) +
                        flip(__builtin_shuffle(d, LaneBits{3, 2, 3, 2}), LaneBits{0, kSign, 0, kSign});
    const Lanes four = three + __builtin_shuffle(d, LaneBits{2, 3, 2, 3});
    return flip(four, LaneBits{kSign, 0, 0, 0}) + Lanes{u, u, u, u};
}

// Steps a cursor can take before it wraps (the last of them wraps).
inline int32_t stepsToWrap(int32_t position, int32_t length)
{
    return length - position > 1 ? length - position : 1;
}

struct FrameIo {
    static constexpr bool kMetered = false;
    float left;
    float right;
    float peak;
    float inLeft(int32_t) const { return left; }
    float inRight(int32_t) const { return right; }
    void store(int32_t, float, float) {}
};

template <bool Accumulate>
struct BlockIo {
    static constexpr bool kMetered = true;
    const float* inputLeft;
    const float* inputRight;
    float* outputLeft;
    float* outputRight;
    float offset;
    float peak;

    float inLeft(int32_t i) const { return inputLeft[i] + offset; }
    float inRight(int32_t i) const { return inputRight[i] + offset; }
    void store(int32_t i, float left, float right)
    {
        if (Accumulate) {
            outputLeft[i] += left;
            outputRight[i] += right;
        } else {
            outputLeft[i] = left;
            outputRight[i] = right;
        }
    }
};

}  // namespace

void ReverbEngine::adoptSettings()
{
    const Update* update = handover_.take();
    if (!update || !valid_)
        return;
    const ReverbCoefficients& c = update->coefficients;
    for (int i = 0; i < kLineCount; ++i) {
        DelayBuffer& delay = line(i);
        const int32_t from = update->clearFrom[i];
        if (from < cleanFrom_[i]) {
            std::fill(delay.buffer_.get() + from, delay.buffer_.get() + cleanFrom_[i], 0.0f);
            cleanFrom_[i] = from;
        }
        delay.length_ = c.length[i];
        delay.gain_ = c.gain[i];
        // Until the next set arrives, frames write only below the length, or once at a
        // position left beyond it.
        cleanFrom_[i] = std::max({cleanFrom_[i], delay.length_, delay.position_ + 1});
    }
    for (int k = 0; k < kLateLineCount; ++k)
        lateLines[k].coefficient_ = c.damping[k];
    earlyLine.coefficient_ = c.damping[kEarlyLineIndex];
    highCutFilter.coefficient_ = c.highCut;
    lowCutFilter.coefficient_ = c.lowCut;
    active_ = c;
    if (update->gateReset) {
        gateState_ = GateOpen;
        shownGateState_.store(GateOpen, std::memory_order_relaxed);
    }
}

template <bool Gated, bool Dry, class Io>
void ReverbEngine::run(int32_t frames, Io& io)
{
    // Input band filter.
    const float highCutIn = 1.0f - highCutFilter.coefficient_;
    const float highCutBack = highCutFilter.coefficient_;
    const float lowCutIn = 1.0f - lowCutFilter.coefficient_;
    const float lowCutBack = lowCutFilter.coefficient_;
    float highCut = highCutFilter.state_;
    float lowCut = lowCutFilter.state_;

    // Diffusion.
    const float g0 = diffusers[0].gain_, g1 = diffusers[1].gain_;
    const float g2 = diffusers[2].gain_, g3 = diffusers[3].gain_;
    float v0 = diffusers[0].lastOutput_, v1 = diffusers[1].lastOutput_;
    float v2 = diffusers[2].lastOutput_, v3 = diffusers[3].lastOutput_;

    // Early reflection.
    const float earlyIn = 1.0f - earlyLine.coefficient_;
    const float earlyBack = earlyLine.coefficient_;
    const float earlyGain = earlyLine.gain_;
    float early = earlyLine.state_;

    // Late network.
    Lanes lateIn, lateBack, lateGain, late;
    for (int k = 0; k < kLateLineCount; ++k) {
        lateIn[k] = 1.0f - lateLines[k].coefficient_;
        lateBack[k] = lateLines[k].coefficient_;
        lateGain[k] = lateLines[k].gain_;
        late[k] = lateLines[k].state_;
    }
    const float lateLevel = active_.lateLevel;

    // Output stage.
    const float leftPan = 1.0f - active_.pan;
    const float rightPan = active_.pan;
    const float threshold = active_.threshold;
    const float holdCoef = active_.holdCoef;
    const float releaseFactor = active_.releaseCoef + kReleaseBias;
    const float attackStep = active_.attackStep;
    float holdTimer = holdTimer_;
    float gateGain = gateGain_;
    int32_t gateState = gateState_;
    float lastLeft = outLeft, lastRight = outRight;

    float peak = io.peak;

    // Two passes per stretch: the input side into scratch, then the network and the
    // output stage. Each pass keeps few enough values to stay in registers.
    constexpr int32_t kStretch = 256;
    float mono[kStretch];
    float diffused[kStretch];

    for (int32_t done = 0; done < frames;) {
        // Run up to the next wrap of any line, so the loops need no wrap test. The early
        // line is read after it is written, one slot further on.
        const int32_t earlyRead = earlyLine.position_ + 1 >= earlyLine.length_ ? 0 : earlyLine.position_ + 1;
        int32_t n = std::min({frames - done, kStretch, stepsToWrap(earlyRead, earlyLine.length_)});
        for (int i = 0; i < kLineCount; ++i)
            n = std::min(n, stepsToWrap(line(i).position_, line(i).length_));

        float* const a0 = diffusers[0].buffer_.get() + diffusers[0].position_;
        float* const a1 = diffusers[1].buffer_.get() + diffusers[1].position_;
        float* const a2 = diffusers[2].buffer_.get() + diffusers[2].position_;
        float* const a3 = diffusers[3].buffer_.get() + diffusers[3].position_;
        for (int32_t i = 0; i < n; ++i) {
            const float m = io.inLeft(done + i) + io.inRight(done + i);
            mono[i] = m;

            highCut = highCutIn * m + highCutBack * highCut;
            lowCut = lowCutIn * highCut + lowCutBack * lowCut;
            const float b = lowCut - highCut;

            v0 = a0[i] - g0 * b;
            a0[i] = b + g0 * v0;
            v1 = a1[i] - g1 * v0;
            a1[i] = v0 + g1 * v1;
            v2 = a2[i] - g2 * v1;
            a2[i] = v1 + g2 * v2;
            v3 = a3[i] - g3 * v2;
            a3[i] = v2 + g3 * v3;
            diffused[i] = v3;
        }

        float* const earlyIntoLine = earlyLine.buffer_.get() + earlyLine.position_;
        const float* const earlyOut = earlyLine.buffer_.get() + earlyRead;
        float* const l0 = lateLines[0].buffer_.get() + lateLines[0].position_;
        float* const l1 = lateLines[1].buffer_.get() + lateLines[1].position_;
        float* const l2 = lateLines[2].buffer_.get() + lateLines[2].position_;
        float* const l3 = lateLines[3].buffer_.get() + lateLines[3].position_;
        for (int32_t i = 0; i < n; ++i) {
            const float s = diffused[i];
            early = earlyIn * s + earlyBack * early;
            earlyIntoLine[i] = early * earlyGain;

            const float u = s * lateLevel;
            const float d0 = l0[i], d1 = l1[i], d2 = l2[i], d3 = l3[i];
            late = lateIn * feedback(Lanes{d0, d1, d2, d3}, u) + lateBack * late;
            const Lanes stored = late * lateGain;
            l0[i] = stored[0];
            l1[i] = stored[1];
            l2[i] = stored[2];
            l3[i] = stored[3];

            const float e = earlyOut[i];
            float outL = leftPan * (e + (((d0 - d2) * kWidth + d3) + d1));
            float outR = rightPan * (e + (((d2 - d0) * kWidth + d3) + d1));

            if (Gated) {
                if (std::fabs(mono[i]) > threshold) {
                    gateState = GateOpen;
                    holdTimer = 1.0f;
                    if (gateGain < 1.0f)
                        gateGain = gateGain + attackStep;  // may overshoot 1 by one step
                } else {
                    gateState = GateHold;
                    holdTimer = holdTimer * holdCoef;
                    if (holdTimer < kHoldExpired) {
                        gateState = GateRelease;
                        gateGain = gateGain * releaseFactor;
                    }
                }
                outL = outL * gateGain;
                outR = outR * gateGain;
            }
            if (Dry) {
                outL = io.inLeft(done + i) + outL;
                outR = io.inRight(done + i) + outR;
            }
            io.store(done + i, outL, outR);
            if (Io::kMetered) {
                const float l = std::fabs(outL);
                peak = l > peak ? l : peak;
                const float r = std::fabs(outR);
                peak = r > peak ? r : peak;
            }
            lastLeft = outL;
            lastRight = outR;
        }

        for (int i = 0; i < kLineCount; ++i) {
            DelayBuffer& delay = line(i);
            delay.position_ += n;
            if (delay.position_ >= delay.length_)
                delay.position_ = 0;
        }
        done += n;
    }
    io.peak = peak;

    highCutFilter.state_ = highCut;
    lowCutFilter.state_ = lowCut;
    diffusers[0].lastOutput_ = v0;
    diffusers[1].lastOutput_ = v1;
    diffusers[2].lastOutput_ = v2;
    diffusers[3].lastOutput_ = v3;
    earlyLine.state_ = early;
    for (int k = 0; k < kLateLineCount; ++k)
        lateLines[k].state_ = late[k];
    holdTimer_ = holdTimer;
    gateGain_ = gateGain;
    gateState_ = gateState;
    if (Gated)
        shownGateState_.store(gateState, std::memory_order_relaxed);
    outLeft = lastLeft;
    outRight = lastRight;
}

// The gate and the dry switch hold for a whole block, so each combination gets its own loop.
template <class Io>
void ReverbEngine::dispatch(int32_t frames, Io& io)
{
    const bool gated = active_.threshold > kGateFloor;
    if (gated && active_.dry)
        run<true, true>(frames, io);
    else if (gated)
        run<true, false>(frames, io);
    else if (active_.dry)
        run<false, true>(frames, io);
    else
        run<false, false>(frames, io);
}

void ReverbEngine::process(float left, float right)
{
    adoptSettings();
    if (!valid_) {
        outLeft = outRight = 0.0f;
        return;
    }
    FrameIo io{left, right, 0.0f};
    dispatch(1, io);
}

void ReverbEngine::processBlock(const float* inLeft, const float* inRight, float* outputLeft,
                                float* outputRight, int32_t frames, float offset, bool accumulate,
                                float& peak)
{
    adoptSettings();
    if (!valid_) {
        for (int32_t i = 0; !accumulate && i < frames; ++i)
            outputLeft[i] = outputRight[i] = 0.0f;
        return;
    }
    if (accumulate) {
        BlockIo<true> io{inLeft, inRight, outputLeft, outputRight, offset, peak};
        dispatch(frames, io);
        peak = io.peak;
    } else {
        BlockIo<false> io{inLeft, inRight, outputLeft, outputRight, offset, peak};
        dispatch(frames, io);
        peak = io.peak;
    }
}
