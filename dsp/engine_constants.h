// Every constant of the reverb engine, each with the single-precision value it holds.
// Conversions widen these to double; nothing else in dsp/ spells a number of its own.
#pragma once

#include <cstdint>

// The nine delay lines, in one order wherever they are handled together.
constexpr int kLateLineCount = 4;
constexpr int kDiffuserCount = 4;
constexpr int kLineCount = kLateLineCount + 1 + kDiffuserCount;
constexpr int kEarlyLineIndex = kLateLineCount;          // after the late lines
constexpr int kFirstDiffuserIndex = kLateLineCount + 1;  // after the early line

// Buffers sized for 96 kHz and room size 1: 69919 samples in all.
constexpr int32_t kLateCapacity[kLateLineCount] = {19200, 14588, 11085, 8422};
constexpr int32_t kEarlyCapacity = 4800;
constexpr int32_t kDiffuserCapacity[kDiffuserCount] = {1919, 1458, 4800, 3647};

// 2π for cutoff coefficients exp(−2π f / sr).
constexpr float kTwoPi = 6.2831854820251465f;

// Allpass gains stay strictly inside the unit circle.
constexpr float kAllpassGainLimit = 0.9998999834060669f;  // 0.9999

// Denormal offset (r − 7.5) × 1e-8 for a random r in 0..15.
constexpr float kNoiseCentre = 7.5f;
constexpr float kNoiseStep = 9.99999993922529e-09f;  // 1e-8

// Late line k: ratio Rk = 3^(−k/4); length Lk = 0.2 Rk seconds per unit room;
// gain exponent Gk = −12 Rk; diffuser k length Ak = 0.02 Rk seconds.
constexpr float kLineRatio[kLateLineCount] = {1.0f, 0.7598356604576111f, 0.5773502588272095f, 0.4386913478374481f};
constexpr float kLateSeconds[kLateLineCount] = {0.20000000298023224f, 0.1519671380519867f, 0.1154700517654419f,
                                                0.0877382680773735f};
constexpr float kGainExponent[kLateLineCount] = {-12.0f, -9.118027687072754f, -6.928203105926514f, -5.264296054840088f};
constexpr float kDiffuserSeconds[kDiffuserCount] = {0.019999999552965164f, 0.01519671268761158f, 0.01154700480401516f,
                                                    0.008773826994001865f};

constexpr float kLineGainScale = 0.5f;                      // folds in the Hadamard matrix's 1/2
constexpr float kDensityGain = 0.800000011920929f;          // 0.8: first two diffusers per unit density
constexpr float kFixedDiffuserGain = 0.6000000238418579f;   // 0.6: last two diffusers
constexpr float kEarlyCutoff = 10000.0f;                    // Hz
constexpr float kEarlyDelaySeconds = 0.05000000074505806f;  // 0.05: early delay at earlyDelay 1
constexpr float kWidth = 1.0f;                              // stereo spread; nothing changes it

// Gate.
constexpr float kGateFloor = 0.009999999776482582f;     // 0.01: gate works only above this threshold
constexpr float kHoldExpired = 0.3678794503211975f;     // e^−1: hold timer runs out below this
constexpr float kReleaseBias = 9.999999974752427e-07f;  // 0.000001 added to the release factor
constexpr float kReleaseTime = 0.03999999910593033f;    // 0.04 s
constexpr float kAttackTime = 0.0020000000949949026f;   // 0.002 s

// Setting limits.
constexpr int32_t kMinSampleRate = 5000;
constexpr int32_t kMaxSampleRate = 96000;
constexpr float kMinT60 = 0.009999999776482582f;  // 0.01 s
constexpr float kMaxT60 = 7.0f;
constexpr float kMinFrequency = 10.0f;  // damping, high cut, low cut
constexpr float kMaxDamping = 40000.0f;
constexpr float kMaxHighCut = 40000.0f;
constexpr float kMaxLowCut = 10000.0f;
constexpr float kMinRoomSize = 0.05000000074505806f;   // 0.05
constexpr float kMinHoldTime = 0.009999999776482582f;  // 0.01 s
constexpr float kMaxHoldTime = 1.0f;

// Settings of a freshly built engine.
constexpr int32_t kStartSampleRate = 44100;
constexpr float kStartLateLevel = 1.0f;
constexpr float kStartT60 = 2.1700000762939453f;
constexpr float kStartDamping = 3250.0f;
constexpr float kStartDensity = 0.5f;
constexpr float kStartPan = 0.5f;
constexpr float kStartRoomSize = 0.5f;
constexpr float kStartHighCut = 4000.0f;
constexpr float kStartLowCut = 150.0f;
constexpr float kStartEarlyLevel = 0.30000001192092896f;
constexpr float kStartEarlyDelay = 0.25f;
constexpr float kStartHoldTime = 0.10000000149011612f;
