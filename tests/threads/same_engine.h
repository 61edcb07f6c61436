// After the setters stop, a core's engine must be where a core given the same stored values
// on one thread is: the settings it took and every coefficient it worked out, bit for bit.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "effect/reverb_core.h"

inline bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Ends the test (a fatal failure) at the first difference, naming the trial.
inline void expectSameEngine(const ReverbCore& got, const ReverbCore& want, int trial = 0) {
    const ReverbSettings& s = got.engine().settings();
    const ReverbSettings& t = want.engine().settings();
    const float settings[][2] = {{s.lateLevel, t.lateLevel},   {s.t60, t.t60},           {s.damping, t.damping},
                                 {s.density, t.density},       {s.pan, t.pan},           {s.roomSize, t.roomSize},
                                 {s.highCut, t.highCut},       {s.lowCut, t.lowCut},     {s.earlyLevel, t.earlyLevel},
                                 {s.earlyDelay, t.earlyDelay}, {s.holdTime, t.holdTime}, {s.threshold, t.threshold}};
    for (const auto& pair : settings) ASSERT_TRUE(sameBits(pair[0], pair[1])) << "trial " << trial;
    ASSERT_EQ(s.sampleRate, t.sampleRate) << "trial " << trial;
    ASSERT_EQ(s.dry, t.dry) << "trial " << trial;

    const ReverbCoefficients& a = got.engine().coefficients();
    const ReverbCoefficients& b = want.engine().coefficients();
    ASSERT_EQ(std::memcmp(a.length, b.length, sizeof a.length), 0) << "trial " << trial;
    ASSERT_EQ(std::memcmp(a.gain, b.gain, sizeof a.gain), 0) << "trial " << trial;
    ASSERT_EQ(std::memcmp(a.damping, b.damping, sizeof a.damping), 0) << "trial " << trial;
    const float framewise[][2] = {{a.lateLevel, b.lateLevel}, {a.pan, b.pan},       {a.threshold, b.threshold},
                                  {a.highCut, b.highCut},     {a.lowCut, b.lowCut}, {a.holdCoef, b.holdCoef}};
    for (const auto& pair : framewise) ASSERT_TRUE(sameBits(pair[0], pair[1])) << "trial " << trial;
    ASSERT_EQ(a.dry, b.dry) << "trial " << trial;
}

// A core that got the final stored values of `from` on one thread.
inline void copyStoredValues(const ReverbCore& from, ReverbCore& into) {
    into.setProgram(from.program());
    for (int index = 0; index < kParameterCount; ++index) into.setParameter(index, from.getParameter(index));
    into.takeOverChanges();
}
