// Audio side of the engine: taking over new settings and running frames.
#include <algorithm>
#include <cmath>
#include <cstring>

#include <xmmintrin.h>

#include "dsp/reverb_engine.h"

namespace {

// Four lanes: four late lines side by side for the network's state, four consecutive frames
// everywhere else.
typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneBits __attribute__((vector_size(16)));

inline Lanes splat(float x)
{
    return Lanes{x, x, x, x};
}

inline Lanes load(const float* p)
{
    Lanes v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void store(float* p, Lanes v)
{
    std::memcpy(p, &v, sizeof v);
}

inline Lanes lanesOf(LaneBits bits)
{
    return (Lanes)bits;
}

inline LaneBits bitsOf(Lanes x)
{
    return (LaneBits)x;
}

inline Lanes magnitude(Lanes x)
{
    return lanesOf(bitsOf(x) & INT32_MAX);
}

// Lane j of the result is lane 0 of the j-th argument.
inline Lanes gather(Lanes a, Lanes b, Lanes c, Lanes d)
{
    return __builtin_shufflevector(__builtin_shufflevector(a, b, 0, 4, 1, 5),
                                   __builtin_shufflevector(c, d, 0, 4, 1, 5), 0, 1, 4, 5);
}

// Frames by line into lines by frame, and back.
inline void transpose(Lanes& a, Lanes& b, Lanes& c, Lanes& d)
{
    const Lanes abLow = __builtin_shufflevector(a, b, 0, 4, 1, 5);
    const Lanes abHigh = __builtin_shufflevector(a, b, 2, 6, 3, 7);
    const Lanes cdLow = __builtin_shufflevector(c, d, 0, 4, 1, 5);
    const Lanes cdHigh = __builtin_shufflevector(c, d, 2, 6, 3, 7);
    a = __builtin_shufflevector(abLow, cdLow, 0, 1, 4, 5);
    b = __builtin_shufflevector(abLow, cdLow, 2, 3, 6, 7);
    c = __builtin_shufflevector(abHigh, cdHigh, 0, 1, 4, 5);
    d = __builtin_shufflevector(abHigh, cdHigh, 2, 3, 6, 7);
}

// a > b ? a : b in every lane, as the scalar peak test: a NaN in a leaves b.
inline Lanes largest(Lanes a, Lanes b)
{
    return _mm_max_ps(a, b);
}

// Every lane set to lane j of v.
template <int j>
inline Lanes spread(Lanes v)
{
    return __builtin_shufflevector(v, v, j, j, j, j);
}

// The gate one frame at a time, its decisions taken as masks so that a noisy input costs no
// mispredicted branches. Every lane carries the same state.
struct Gate {
    Lanes hold;  // holdTimer
    Lanes gain;  // gateGain
    Lanes holdCoef;
    Lanes releaseFactor;

    // opened is 1 for a loud frame, else 0; rise is the attack step for a loud frame, else 0.
    void step(Lanes opened, Lanes rise)
    {
        // A loud frame sets the timer to 1, a quiet one decays it (to below 1).
        hold = _mm_max_ps(hold * holdCoef, opened);
        // While the timer holds (a loud frame included) the gain keeps × 1, else it falls.
        const LaneBits holding = hold >= kHoldExpired;
        const Lanes factor = _mm_max_ps(releaseFactor, lanesOf(holding & bitsOf(splat(1.0f))));
        // A loud frame below unity adds the step; + 0 leaves the gain as it was.
        gain = gain * factor + lanesOf((gain < 1.0f) & bitsOf(rise));
    }

    // Four frames, loud where the mask is set; returns the gain of each. Long stretches in
    // which the gain stays put or only falls take shortcuts with the same results.
    Lanes steps(LaneBits loud, Lanes attackStep)
    {
        const Lanes opened = lanesOf(loud & bitsOf(splat(1.0f)));
        const Lanes lowest = hold * holdCoef * holdCoef * holdCoef * holdCoef;
        if (gain[0] >= 1.0f && lowest[0] >= kHoldExpired) {
            // No frame can run the timer out, and loud ones find the gain at unity or above.
            hold = _mm_max_ps(hold * holdCoef, spread<0>(opened));
            hold = _mm_max_ps(hold * holdCoef, spread<1>(opened));
            hold = _mm_max_ps(hold * holdCoef, spread<2>(opened));
            hold = _mm_max_ps(hold * holdCoef, spread<3>(opened));
            return gain;
        }
        if (_mm_movemask_ps(lanesOf(loud)) == 0 && hold[0] < kHoldExpired) {
            // Quiet after the timer ran out: both decay.
            hold = hold * holdCoef * holdCoef * holdCoef * holdCoef;
            const Lanes gain0 = gain * releaseFactor;
            const Lanes gain1 = gain0 * releaseFactor;
            const Lanes gain2 = gain1 * releaseFactor;
            gain = gain2 * releaseFactor;
            return gather(gain0, gain1, gain2, gain);
        }
        const Lanes rise = lanesOf(loud & bitsOf(attackStep));
        step(spread<0>(opened), spread<0>(rise));
        const Lanes gain0 = gain;
        step(spread<1>(opened), spread<1>(rise));
        const Lanes gain1 = gain;
        step(spread<2>(opened), spread<2>(rise));
        const Lanes gain2 = gain;
        step(spread<3>(opened), spread<3>(rise));
        return gather(gain0, gain1, gain2, gain);
    }
};

// Steps a cursor can take before it wraps (the last of them wraps).
inline int32_t stepsToWrap(int32_t position, int32_t length)
{
    return length - position > 1 ? length - position : 1;
}

struct FrameIo {
    static constexpr bool kGroups = false;
    static constexpr bool kMetered = false;
    float left;
    float right;
    float peak;
    float inLeft(int32_t) const { return left; }
    float inRight(int32_t) const { return right; }
    void store(int32_t, float, float) {}
    Lanes inLefts(int32_t) const { return Lanes{}; }
    Lanes inRights(int32_t) const { return Lanes{}; }
    void stores(int32_t, Lanes, Lanes) {}
};

template <bool Accumulate>
struct BlockIo {
    static constexpr bool kGroups = true;
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

    // Four frames from i on; left is stored before right, as frame by frame.
    Lanes inLefts(int32_t i) const { return load(inputLeft + i) + offset; }
    Lanes inRights(int32_t i) const { return load(inputRight + i) + offset; }
    void stores(int32_t i, Lanes left, Lanes right)
    {
        if (Accumulate) {
            ::store(outputLeft + i, load(outputLeft + i) + left);
            ::store(outputRight + i, load(outputRight + i) + right);
        } else {
            ::store(outputLeft + i, left);
            ::store(outputRight + i, right);
        }
    }
};

}  // namespace

void ReverbEngine::adoptSettings()
{
    if (!adoptPending_ || !valid_)
        return;
    adoptPending_ = false;
    const ReverbCoefficients& c = latest_;
    for (int i = 0; i < kLineCount; ++i) {
        DelayBuffer& delay = line(i);
        const int32_t from = shortestPassed_[i];
        shortestPassed_[i] = lineCapacity(i);
        if (from < silentFrom_[i]) {
            std::fill(delay.buffer_.get() + from, delay.buffer_.get() + silentFrom_[i], 0.0f);
            silentFrom_[i] = from;
        }
        delay.length_ = c.length[i];
        delay.gain_ = c.gain[i];
        // Until the next set arrives, frames write only below the length, or once at a
        // position left beyond it.
        silentFrom_[i] = std::max({silentFrom_[i], delay.length_, delay.position_ + 1});
    }
    for (int k = 0; k < kLateLineCount; ++k)
        lateLines[k].coefficient_ = c.damping[k];
    earlyLine.coefficient_ = c.damping[kEarlyLineIndex];
    highCutFilter.coefficient_ = c.highCut;
    lowCutFilter.coefficient_ = c.lowCut;
    active_ = c;
    if (gateResetPending_) {
        gateResetPending_ = false;
        gateState_ = GateOpen;
        shownGateState_.store(GateOpen, std::memory_order_relaxed);
    }
}

template <bool Gated, bool Dry, class Io>
void ReverbEngine::run(int32_t frames, Io& caller)
{
    // A copy the compiler can keep in registers: no store to a buffer can reach it.
    Io io = caller;

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

    // Late network: the state runs lines by frame, everything else frames by line.
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
    const Lanes threshold = splat(active_.threshold);
    const Lanes attackStep = splat(active_.attackStep);
    Gate gate{splat(holdTimer_), splat(gateGain_), splat(active_.holdCoef),
              splat(active_.releaseCoef + kReleaseBias)};
    float lastLeft = outLeft, lastRight = outRight;
    float peak = io.peak;
    Lanes peaks = splat(peak);

    DelayBuffer* const lines[kLineCount] = {&lateLines[0], &lateLines[1], &lateLines[2], &lateLines[3],
                                            &earlyLine,    &diffusers[0], &diffusers[1], &diffusers[2],
                                            &diffusers[3]};

    for (int32_t done = 0; done < frames;) {
        // Run up to the next wrap of any line, so the loops need no wrap test, and no slot
        // is read after being written within the stretch. The early line is read after it
        // is written, one slot further on.
        const int32_t earlyRead = earlyLine.position_ + 1 >= earlyLine.length_ ? 0 : earlyLine.position_ + 1;
        int32_t n = std::min(frames - done, stepsToWrap(earlyRead, earlyLine.length_));
        for (DelayBuffer* delay : lines)
            n = std::min(n, stepsToWrap(delay->position_, delay->length_));

        float* const a0 = diffusers[0].buffer_.get() + diffusers[0].position_;
        float* const a1 = diffusers[1].buffer_.get() + diffusers[1].position_;
        float* const a2 = diffusers[2].buffer_.get() + diffusers[2].position_;
        float* const a3 = diffusers[3].buffer_.get() + diffusers[3].position_;
        float* const earlyIntoLine = earlyLine.buffer_.get() + earlyLine.position_;
        const float* const earlyOut = earlyLine.buffer_.get() + earlyRead;
        float* const l0 = lateLines[0].buffer_.get() + lateLines[0].position_;
        float* const l1 = lateLines[1].buffer_.get() + lateLines[1].position_;
        float* const l2 = lateLines[2].buffer_.get() + lateLines[2].position_;
        float* const l3 = lateLines[3].buffer_.get() + lateLines[3].position_;

        int32_t i = 0;
        if constexpr (Io::kGroups) {
            // Four frames at a time: every stage without a state of its own works on the
            // four frames at once; the recursive filters and the gate step frame by frame.
            // The stages run staggered: the input filter two groups ahead of the network, the
            // diffusers one, so that each pass of the loop holds three short chains of
            // dependent steps instead of one long one.
            struct Band {
                Lanes inL, inR, m, b;
            };
            struct Diffused {
                Lanes inL, inR, m, s;
            };
            Lanes w0{}, w1{}, w2{}, w3{};

            // Input band filter.
            const auto filter = [&](int32_t at) __attribute__((always_inline)) {
                Band f;
                f.inL = io.inLefts(done + at);
                f.inR = io.inRights(done + at);
                f.m = f.inL + f.inR;
                const Lanes highCutDrive = highCutIn * f.m;
                float band[4];
                for (int j = 0; j < 4; ++j) {
                    highCut = highCutDrive[j] + highCutBack * highCut;
                    lowCut = lowCutIn * highCut + lowCutBack * lowCut;
                    band[j] = lowCut - highCut;
                }
                f.b = Lanes{band[0], band[1], band[2], band[3]};
                return f;
            };

            // Diffusion.
            const auto diffuse = [&](int32_t at, const Band& f) __attribute__((always_inline)) {
                w0 = load(a0 + at) - g0 * f.b;
                store(a0 + at, f.b + g0 * w0);
                w1 = load(a1 + at) - g1 * w0;
                store(a1 + at, w0 + g1 * w1);
                w2 = load(a2 + at) - g2 * w1;
                store(a2 + at, w1 + g2 * w2);
                w3 = load(a3 + at) - g3 * w2;
                store(a3 + at, w2 + g3 * w3);
                return Diffused{f.inL, f.inR, f.m, w3};
            };

            // Early reflection, late network and output stage.
            const auto reverberate = [&](int32_t at, const Diffused& f) __attribute__((always_inline)) {
                // Early reflection: each frame reads the slot the next one writes.
                const Lanes earlyDrive = earlyIn * f.s;
                float earlyStates[4];
                for (int j = 0; j < 4; ++j) {
                    early = earlyDrive[j] + earlyBack * early;
                    earlyStates[j] = early;
                }
                const Lanes e = load(earlyOut + at);
                store(earlyIntoLine + at,
                      Lanes{earlyStates[0], earlyStates[1], earlyStates[2], earlyStates[3]} * earlyGain);

                // Late network.
                const Lanes u = f.s * lateLevel;
                const Lanes d0 = load(l0 + at), d1 = load(l1 + at), d2 = load(l2 + at), d3 = load(l3 + at);
                const Lanes d01 = d1 + d0;
                Lanes f0 = u - ((d01 + d3) + d2);
                Lanes f1 = (((d1 - d0) - d2) + d3) + u;
                Lanes f2 = ((d3 - d01) + d2) + u;
                Lanes f3 = (((d0 - d1) - d2) + d3) + u;
                transpose(f0, f1, f2, f3);
                late = lateIn * f0 + lateBack * late;
                f0 = late * lateGain;
                late = lateIn * f1 + lateBack * late;
                f1 = late * lateGain;
                late = lateIn * f2 + lateBack * late;
                f2 = late * lateGain;
                late = lateIn * f3 + lateBack * late;
                f3 = late * lateGain;
                transpose(f0, f1, f2, f3);
                store(l0 + at, f0);
                store(l1 + at, f1);
                store(l2 + at, f2);
                store(l3 + at, f3);

                // Output stage.
                Lanes outL = leftPan * (e + (((d0 - d2) * kWidth + d3) + d1));
                Lanes outR = rightPan * (e + (((d2 - d0) * kWidth + d3) + d1));
                if (Gated) {
                    const Lanes gains = gate.steps(magnitude(f.m) > threshold, attackStep);
                    outL = outL * gains;
                    outR = outR * gains;
                }
                if (Dry) {
                    outL = f.inL + outL;
                    outR = f.inR + outR;
                }
                io.stores(done + at, outL, outR);
                peaks = largest(magnitude(outL), peaks);
                peaks = largest(magnitude(outR), peaks);
                lastLeft = outL[3];
                lastRight = outR[3];
            };

            if (n >= 8) {
                Band filtered = filter(0);
                Diffused diffused = diffuse(0, filtered);
                filtered = filter(4);
                for (; i + 12 <= n; i += 4) {
                    const Diffused current = diffused;
                    diffused = diffuse(i + 4, filtered);
                    filtered = filter(i + 8);
                    reverberate(i, current);
                }
                reverberate(i, diffused);
                reverberate(i + 4, diffuse(i + 4, filtered));
                i += 8;
            } else if (n >= 4) {
                reverberate(0, diffuse(0, filter(0)));
                i = 4;
            }
            if (i > 0) {
                v0 = w0[3];
                v1 = w1[3];
                v2 = w2[3];
                v3 = w3[3];
            }
        }

        // The frames left over, one at a time.
        for (; i < n; ++i) {
            const float m = io.inLeft(done + i) + io.inRight(done + i);

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
            const float s = v3;

            early = earlyIn * s + earlyBack * early;
            earlyIntoLine[i] = early * earlyGain;

            const float u = s * lateLevel;
            const float d0 = l0[i], d1 = l1[i], d2 = l2[i], d3 = l3[i];
            const Lanes feedback{u - (((d1 + d0) + d3) + d2), (((d1 - d0) - d2) + d3) + u,
                                 ((d3 - (d0 + d1)) + d2) + u, (((d0 - d1) - d2) + d3) + u};
            late = lateIn * feedback + lateBack * late;
            const Lanes stored = late * lateGain;
            l0[i] = stored[0];
            l1[i] = stored[1];
            l2[i] = stored[2];
            l3[i] = stored[3];

            const float e = earlyOut[i];
            float outL = leftPan * (e + (((d0 - d2) * kWidth + d3) + d1));
            float outR = rightPan * (e + (((d2 - d0) * kWidth + d3) + d1));
            if (Gated) {
                const LaneBits loud = magnitude(splat(m)) > threshold;
                gate.step(lanesOf(loud & bitsOf(splat(1.0f))), lanesOf(loud & bitsOf(attackStep)));
                const float gain = gate.gain[0];
                outL = outL * gain;
                outR = outR * gain;
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

        for (DelayBuffer* delay : lines) {
            delay->position_ += n;
            if (delay->position_ >= delay->length_)
                delay->position_ = 0;
        }
        done += n;
    }
    if (Io::kMetered) {
        // The largest of all frames, whichever lane or order it came in.
        for (int j = 0; j < 4; ++j)
            peak = peaks[j] > peak ? peaks[j] : peak;
        caller.peak = peak;
    }

    highCutFilter.state_ = highCut;
    lowCutFilter.state_ = lowCut;
    diffusers[0].lastOutput_ = v0;
    diffusers[1].lastOutput_ = v1;
    diffusers[2].lastOutput_ = v2;
    diffusers[3].lastOutput_ = v3;
    earlyLine.state_ = early;
    for (int k = 0; k < kLateLineCount; ++k)
        lateLines[k].state_ = late[k];
    if (Gated && frames > 0) {
        holdTimer_ = gate.hold[0];
        gateGain_ = gate.gain[0];
        // A loud frame sets the timer to exactly 1; a quiet one leaves it below.
        gateState_ = holdTimer_ == 1.0f ? GateOpen : holdTimer_ < kHoldExpired ? GateRelease : GateHold;
        shownGateState_.store(gateState_, std::memory_order_relaxed);
    }
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
