// A plain reverb written straight from the signal-flow steps, one block call per stage and
// one frame per call, with every setting applied on the spot. The engine's block loop and
// its hand-over between threads must give exactly the same bits.
#pragma once

#include <cmath>
#include <cstdint>

#include "dsp/allpass_delay.h"
#include "dsp/damped_delay.h"
#include "dsp/one_pole_filter.h"
#include "dsp/reverb_settings.h"

class ReferenceReverb {
public:
    ReferenceReverb()
    {
        const int32_t late[4] = {19200, 14588, 11085, 8422};
        const int32_t diffuser[4] = {1919, 1458, 4800, 3647};
        for (int k = 0; k < 4; ++k) {
            lateLines[k].allocate(0, late[k], 1.0f);
            diffusers[k].allocate(0, diffuser[k], 0.0f);
        }
        earlyLine.allocate(0, 4800, 1.0f);
        setSampleRate(44100);
    }

    void setSampleRate(int32_t rate)
    {
        rate = rate > 96000 ? 96000 : rate < 5000 ? 5000 : rate;
        if (rate != sampleRate) {
            sampleRate = rate;
            updateCoefficients();
        }
    }

    void setT60(float v) { t60 = limitSetting(v, 0.01f, 7.0f), updateCoefficients(); }
    void setDamping(float v) { damping = limitSetting(v, 10.0f, 40000.0f), updateCoefficients(); }
    void setDensity(float v) { density = limitSetting(v, 0.0f, 1.0f), updateCoefficients(); }
    void setRoomSize(float v) { roomSize = limitSetting(v, 0.05f, 1.0f), updateCoefficients(); }
    void setLateLevel(float v) { lateLevel = v; }
    void setHighCut(float v) { highCut = limitSetting(v, 10.0f, 40000.0f), updateCoefficients(); }
    void setLowCut(float v) { lowCut = limitSetting(v, 10.0f, 10000.0f), updateCoefficients(); }
    void setDry(bool v) { dry = v; }
    void setPan(float v) { pan = limitSetting(v, 0.0f, 1.0f); }
    void setSensitivity(float v) { threshold = 1.0f - limitSetting(v, 0.0f, 1.0f), gateState = 0; }
    void setHold(float v) { holdTime = limitSetting(v, 0.01f, 1.0f), updateCoefficients(); }
    void setEarlyDelay(float v) { earlyDelay = v, updateCoefficients(); }
    void setEarlyLevel(float v) { earlyLevel = v, updateCoefficients(); }

    void updateCoefficients()
    {
        const double sr = sampleRate;
        const double R[4] = {1.0f, 0.7598356604576111f, 0.5773502588272095f, 0.4386913478374481f};
        const double L[4] = {0.2f, 0.1519671380519867f, 0.1154700517654419f, 0.0877382680773735f};
        const double G[4] = {-12.0f, -9.118027687072754f, -6.928203105926514f, -5.264296054840088f};
        const double A[4] = {0.02f, 0.01519671268761158f, 0.01154700480401516f, 0.008773826994001865f};
        holdCoef = static_cast<float>(std::exp(-1.0 / (sr * holdTime)));
        releaseCoef = static_cast<float>(std::exp(-1.0 / (sr * 0.04f)));
        attackStep = static_cast<float>(1.0 / (sr * 0.002f));
        for (int k = 0; k < 4; ++k)
            lateLines[k].setLength(static_cast<int32_t>(std::floor(sr * roomSize * L[k])));
        for (int k = 0; k < 4; ++k)
            lateLines[k].setGain(
                static_cast<float>(0.5 * std::pow(10.0, roomSize * G[k] / (t60 * 20.0))));
        for (int k = 0; k < 4; ++k)
            lateLines[k].setCutoff(static_cast<float>(damping / (roomSize * R[k])), sampleRate);
        diffusers[0].setLength(static_cast<int32_t>(sr * A[0]));
        diffusers[1].setLength(static_cast<int32_t>(sr * A[1]));
        diffusers[0].setGain(0.8f * density);
        diffusers[1].setGain(-0.8f * density);
        diffusers[2].setLength(static_cast<int32_t>(sr * A[2]));
        diffusers[3].setLength(static_cast<int32_t>(sr * A[3]));
        diffusers[2].setGain(0.6f);
        diffusers[3].setGain(0.6f);
        earlyLine.setCutoff(10000.0f, sampleRate);
        const double early = std::floor(sr * earlyDelay * 0.05f);
        earlyLine.setLength(early > 0.0 ? (early < 1e6 ? static_cast<int32_t>(early) : 1000000) : 0);
        earlyLine.setGain(earlyLevel);
        highCutFilter.setCutoff(highCut, sampleRate);
        lowCutFilter.setCutoff(lowCut, sampleRate);
    }

    void process(float inL, float inR)
    {
        const float m = inL + inR;
        highCutFilter.process(m);
        lowCutFilter.process(highCutFilter.output());
        const float b = lowCutFilter.output() - highCutFilter.output();
        float x = b;
        for (auto& diffuser : diffusers) {
            diffuser.process(x);
            x = diffuser.output();
        }
        const float s = x;
        earlyLine.write(s);
        const float u = s * lateLevel;
        const float d0 = lateLines[0].read(), d1 = lateLines[1].read();
        const float d2 = lateLines[2].read(), d3 = lateLines[3].read();
        lateLines[0].write(u - (((d1 + d0) + d3) + d2));
        lateLines[1].write((((d1 - d0) - d2) + d3) + u);
        lateLines[2].write(((d3 - (d0 + d1)) + d2) + u);
        lateLines[3].write((((d0 - d1) - d2) + d3) + u);
        outLeft = ((d0 - d2) * width + d3) + d1;
        outRight = ((d2 - d0) * width + d3) + d1;
        const float e = earlyLine.read();
        outLeft = (1.0f - pan) * (e + outLeft);
        outRight = pan * (e + outRight);
        if (threshold > 0.01f) {
            gateState = 1;
            holdTimer = holdTimer * holdCoef;
            if (std::fabs(m) > threshold) {
                gateState = 0;
                holdTimer = 1.0f;
                if (gateGain < 1.0f)
                    gateGain = gateGain + attackStep;
            } else if (holdTimer < 0.3678794503211975f) {
                gateState = 2;
                gateGain = gateGain * (releaseCoef + 0.000001f);
            }
            outLeft = outLeft * gateGain;
            outRight = outRight * gateGain;
        }
        if (dry) {
            outLeft = inL + outLeft;
            outRight = inR + outRight;
        }
    }

    float outLeft = 0.0f, outRight = 0.0f;
    float lateLevel = 1.0f;
    int32_t sampleRate = -1;
    float t60 = 2.17f, damping = 3250.0f, density = 0.5f;
    bool dry = false;
    float width = 1.0f, pan = 0.5f, roomSize = 0.5f, highCut = 4000.0f, lowCut = 150.0f;
    float earlyLevel = 0.3f, earlyDelay = 0.25f;
    DampedDelay lateLines[4];
    DampedDelay earlyLine;
    AllpassDelay diffusers[4];
    OnePoleFilter highCutFilter, lowCutFilter;
    float holdTimer = 0.0f, holdTime = 0.1f, holdCoef = 0.0f, threshold = 0.0f, gateGain = 1.0f;
    float releaseCoef = 0.0f, attackStep = 0.0f;
    int gateState = 0;
};
