// Audio side of the engine: taking over new settings and running frames through the stages.
#include <algorithm>
#include <type_traits>

#include "dsp/reverb_engine.h"
#include "dsp/reverb_stages.h"

using lanes::Lanes;

namespace {

// One frame handed in and left in the engine's outputs.
struct FrameIo {
    static constexpr bool kGroups = false;
    static constexpr bool kMetered = false;
    float left;
    float right;
    float peak;
    template <class T>
    T inLeft(int32_t) const {
        return left;
    }
    template <class T>
    T inRight(int32_t) const {
        return right;
    }
    void store(int32_t, float, float) {}
};

// A block of frames from buffers into buffers; groups of four frames are read and written
// as lanes, left before right as frame by frame.
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

    template <class T>
    T inLeft(int32_t i) const {
        return lanes::loadAs<T>(inputLeft + i) + offset;
    }
    template <class T>
    T inRight(int32_t i) const {
        return lanes::loadAs<T>(inputRight + i) + offset;
    }
    template <class T>
    void store(int32_t i, T left, T right) {
        if (Accumulate) {
            left = lanes::loadAs<T>(outputLeft + i) + left;
            right = lanes::loadAs<T>(outputRight + i) + right;
        }
        lanes::store(outputLeft + i, left);
        lanes::store(outputRight + i, right);
    }
};

// Frames on their way through: the inputs, their mono sum, and the signal the stage at hand
// works on.
template <class T>
struct Frames {
    T left, right, mono, signal;
};

}  // namespace

void ReverbEngine::adoptSettings() {
    if (!adoptPending_ || !valid_) return;
    adoptPending_ = false;
    const ReverbCoefficients& c = latest_;
    for (int i = 0; i < kLineCount; ++i) {
        line(i).adopt(c.length[i], c.gain[i], shortestPassed_[i]);
        shortestPassed_[i] = lineCapacity(i);
    }
    for (int k = 0; k < kLateLineCount; ++k)
        lateLines[k].setDamping(OnePoleFilter(c.damping[k], lateLines[k].damping().output()));
    earlyLine.setDamping(OnePoleFilter(c.damping[kEarlyLineIndex], earlyLine.damping().output()));
    highCutFilter = OnePoleFilter(c.highCut, highCutFilter.output());
    lowCutFilter = OnePoleFilter(c.lowCut, lowCutFilter.output());
    active_ = c;
    framesToWrap_ = 0;
    if (gateResetPending_) {
        gateResetPending_ = false;
        gateState_ = GateOpen;
        shownGateState_.store(GateOpen, std::memory_order_relaxed);
    }
}

template <bool Gated, bool Dry, class Io>
void ReverbEngine::run(int32_t frames, Io& caller) {
    // A copy the compiler can keep in registers: no store to a buffer can reach it.
    Io io = caller;

    stages::BandFilter band(highCutFilter, lowCutFilter);
    stages::Diffusion diffusion(diffusers);
    stages::EarlyReflection early(earlyLine);
    stages::LateNetwork late(lateLines, active_.lateLevel);
    const stages::StereoOutput stereo(active_.pan);
    stages::Gate gate(holdTimer_, gateGain_, active_);
    stages::PeakMeter meter(io.peak);
    float lastLeft = outLeft, lastRight = outRight;

    for (int32_t done = 0; done < frames;) {
        // Run up to the next wrap of any line, so the steps need no wrap test, and no slot
        // is read after being written within the stretch. The frames left to the next wrap
        // are counted down across calls, and worked out again only after it.
        if (framesToWrap_ == 0)
            framesToWrap_ = std::min(
                {stages::toWrap(diffusers), stages::EarlyReflection::toWrap(earlyLine), stages::toWrap(lateLines)});
        const int32_t n = std::min(frames - done, framesToWrap_);
        diffusion.start(diffusers);
        early.start(earlyLine);
        late.start(lateLines);

        // The steps, each for one frame (float) or four (Lanes).
        const auto filter = [&](int32_t at, auto like) __attribute__((always_inline)) {
            using T = decltype(like);
            Frames<T> f;
            f.left = io.template inLeft<T>(done + at);
            f.right = io.template inRight<T>(done + at);
            f.mono = f.left + f.right;
            f.signal = band.run(f.mono);
            return f;
        };
        const auto diffuse = [&](int32_t at, auto f) __attribute__((always_inline)) {
            f.signal = diffusion.run(at, f.signal);
            return f;
        };
        const auto reverberate = [&](int32_t at, const auto& f) __attribute__((always_inline)) {
            using T = decltype(f.signal);
            const T e = early.run(at, f.signal);
            const stages::Taps<T> d = late.run(at, f.signal);
            T left, right;
            stereo.run(e, d, left, right);
            if (Gated) {
                const T gains = gate.run(f.mono);
                left = left * gains;
                right = right * gains;
            }
            if (Dry) {
                left = f.left + left;
                right = f.right + right;
            }
            io.store(done + at, left, right);
            if (Io::kMetered) meter.run(left, right);
            lastLeft = lanes::lastOf(left);
            lastRight = lanes::lastOf(right);
        };

        int32_t i = 0;
        if constexpr (Io::kGroups) {
            // Four frames at a time, staggered: the input filter two groups ahead of the
            // network, the diffusers one, so that each pass of the loop holds three short
            // chains of dependent steps instead of one long one.
            if (n >= 8) {
                auto filtered = filter(0, Lanes{});
                auto diffused = diffuse(0, filtered);
                filtered = filter(4, Lanes{});
                for (; i + 12 <= n; i += 4) {
                    const auto current = diffused;
                    diffused = diffuse(i + 4, filtered);
                    filtered = filter(i + 8, Lanes{});
                    reverberate(i, current);
                }
                reverberate(i, diffused);
                reverberate(i + 4, diffuse(i + 4, filtered));
                i += 8;
            } else if (n >= 4) {
                reverberate(0, diffuse(0, filter(0, Lanes{})));
                i = 4;
            }
            if (i > 0) diffusion.endGroups();
        }
        // The frames left over, one at a time.
        for (; i < n; ++i) reverberate(i, diffuse(i, filter(i, 0.0f)));

        framesToWrap_ -= n;
        const bool wraps = framesToWrap_ == 0;
        stages::advance(diffusers, n, wraps);
        earlyLine.advance(n, wraps);
        stages::advance(lateLines, n, wraps);
        done += n;
    }
    if (Io::kMetered) caller.peak = meter.peak();

    band.finish(highCutFilter, lowCutFilter);
    diffusion.finish(diffusers);
    early.finish(earlyLine);
    late.finish(lateLines);
    if (Gated && frames > 0) {
        holdTimer_ = gate.holdTimer();
        gateGain_ = gate.gain();
        // A loud frame sets the timer to exactly 1; a quiet one leaves it below.
        gateState_ = holdTimer_ == 1.0f ? GateOpen : holdTimer_ < kHoldExpired ? GateRelease : GateHold;
        shownGateState_.store(gateState_, std::memory_order_relaxed);
    }
    outLeft = lastLeft;
    outRight = lastRight;
}
// The gate and the dry switch hold for a whole block, so each combination gets its own loop.
template <class Io>
void ReverbEngine::dispatch(int32_t frames, Io& io) {
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

void ReverbEngine::process(float left, float right) {
    adoptSettings();
    if (!valid_) {
        outLeft = outRight = 0.0f;
        return;
    }
    FrameIo io{left, right, 0.0f};
    dispatch(1, io);
}

void ReverbEngine::processBlock(const float* inLeft, const float* inRight, float* outputLeft, float* outputRight,
                                int32_t frames, float offset, bool accumulate, float& peak) {
    adoptSettings();
    if (!valid_) {
        for (int32_t i = 0; !accumulate && i < frames; ++i) outputLeft[i] = outputRight[i] = 0.0f;
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
