// The reverb without a plug-in format: eight programs of thirteen stored values, their
// mapping onto the engine, and the audio callback with its meter.
//
// Setters run on any thread, the audio thread included, and never wait: each stores its
// value, notes the line lengths in force before the change where they are shorter than the
// engine's own (it clears from those anyway) and raises a change mark. The
// audio thread clears the marks at the start of a block and derives every engine setting
// from the stored values it then reads, so coupled settings (Out with both levels, Room size
// with the lengths) always come from one set of values, and a value stored after the read
// raises its mark again for the next block: when the setters stop, the engine is exactly
// where the stored values say.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>

#include "dsp/denormal_noise.h"
#include "dsp/reverb_engine.h"
#include "effect/reverb_program.h"

class ReverbCore {
public:
    ReverbCore();
    virtual ~ReverbCore() = default;
    ReverbCore(const ReverbCore&) = delete;
    ReverbCore& operator=(const ReverbCore&) = delete;

    // False when the engine could not get its buffers; such a core outputs nothing.
    bool isValid() const { return engine_.isValid(); }

    // Any thread. Values are stored as given (normalised, 0..1 expected); the engine hears
    // only what it can safely take. Out-of-range indices and programs are ignored.
    void setParameter(int index, float value);
    float getParameter(int index) const;
    void setProgram(int program);
    int program() const { return program_.load(std::memory_order_acquire); }
    void setSampleRate(float rate);  // ignores rates that are not positive
    void resume();                   // the coefficients worked out afresh, as on a restart

    // The meter: the highest output magnitude since the last call, then back to 0.
    float takePeak() { return peak_.exchange(0.0f, std::memory_order_relaxed); }
    // The same peak gathered a second time, for a panel of its own: where a host polls the
    // level too (takePeak), the panel's meter still sees every block.
    float takePanelPeak() { return panelPeak_.exchange(0.0f, std::memory_order_relaxed); }
    // The gate's state for the panel's LED: 0 open, 1 hold, 2 release.
    int gateState() const;

    ReverbProgram& programAt(int index) { return programs_[validProgram(index)]; }
    const ReverbProgram& programAt(int index) const { return programs_[validProgram(index)]; }
    ReverbProgram& currentProgram() { return programAt(program()); }

    // Audio thread. Takes over any change first, then renders; frames <= 0 or a missing
    // buffer render nothing. The same as beginBlock followed by renderFrames.
    void render(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                bool accumulate);

    // Audio thread: a block in pieces, for hosts whose changes fall inside a block. beginBlock
    // takes over every change so far and draws the block's noise offset; each piece is then
    // rendered with that offset, with takeOverChanges between pieces where values changed.
    float beginBlock();
    void renderFrames(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames,
                      float offset, bool accumulate);

    // Hands every change so far to the engine; render does this at the start of each block.
    void takeOverChanges();

    // Any thread: how long the output may go on after the input stops, from the current
    // program's stored values, generously (an offline render must not cut the tail off).
    double tailSeconds() const;

    // The engine as the audio thread last configured it.
    const ReverbEngine& engine() const { return engine_; }

private:
    // Change marks: one per parameter, then these.
    static constexpr uint32_t kProgramChanged = 1u << kParameterCount;
    static constexpr uint32_t kRateChanged = kProgramChanged << 1;
    static constexpr uint32_t kResumed = kRateChanged << 1;

    static int validProgram(int index) { return index >= 0 && index < kProgramCount ? index : 0; }
    ReverbSettings settingsNow();
    void noteLengthsInForce();
    void publishEngineLengths();
    void mark(uint32_t changes) { changes_.fetch_or(changes, std::memory_order_release); }
    void raisePeak(float blockPeak);
    static void raise(std::atomic<float>& peak, float blockPeak);

    DenormalNoise noise_;
    ReverbEngine engine_;
    ReverbProgram programs_[kProgramCount];
    std::atomic<int> program_{0};
    std::atomic<int32_t> sampleRate_{kStartSampleRate};
    alignas(64) std::atomic<uint32_t> changes_{0};
    alignas(64) std::atomic<int32_t> lengthsPassed_[kLineCount];
    std::atomic<int32_t> lengthsInEngine_[kLineCount];  // as the audio thread last configured them
    alignas(64) std::atomic<float> peak_{0.0f};
    std::atomic<float> panelPeak_{0.0f};

    // Audio thread only: Out's last gain, and a block's input with its non-finite samples replaced (input_guard.h).
    class OutGain {
    public:
        float of(float value);

    private:
        // Starts as a NaN, whose gain is silence indeed.
        float value_ = std::numeric_limits<float>::quiet_NaN();
        float gain_ = 0.0f;
    };
    OutGain outGain_;
    static constexpr int kCleanFrames = 256;
    float cleanLeft_[kCleanFrames];
    float cleanRight_[kCleanFrames];
};
