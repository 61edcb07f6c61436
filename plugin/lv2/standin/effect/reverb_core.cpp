// TEMPORARY: see reverb_core.h.
#include "effect/reverb_core.h"

#include <algorithm>
#include <cmath>

#include "dsp/portable_math.h"

namespace {
constexpr float kMaxWetLevel = 10.0f;
constexpr float kInputLimit = 1e20f;
float saneLevel(float level) {
    if (std::isnan(level)) return 0.0f;
    return std::min(std::max(level, -kMaxWetLevel), kMaxWetLevel);
}
bool isClean(const float* s, int n) {
    bool clean = true;
    for (int i = 0; i < n; ++i) clean &= std::fabs(s[i]) <= kInputLimit;
    return clean;
}
void cleanInto(float* into, const float* s, int n) {
    for (int i = 0; i < n; ++i)
        into[i] = std::isfinite(s[i]) ? std::fmin(std::fmax(s[i], -kInputLimit), kInputLimit) : 0.0f;
}
}  // namespace

ReverbCore::ReverbCore() {
    for (int i = 0; i < kProgramCount; ++i) programs[i].loadFactory(i);
    setProgram(0);
    engine.setSampleRate(44100);
}

void ReverbCore::setParameter(int index, float v) {
    if (!isParameterIndex(index)) return;
    programs[current].values[index] = v;
    applyToEngine(index);
}

float ReverbCore::getParameter(int index) const {
    return isParameterIndex(index) ? programs[current].values[index] : 0.0f;
}

void ReverbCore::setProgram(int program) {
    if (program < 0 || program >= kProgramCount) return;
    current = program;
    for (int i = 0; i < kParameterCount; ++i) setParameter(i, programs[program].values[i]);
}

void ReverbCore::setSampleRate(float r) {
    if (!(r > 0.0f) || !std::isfinite(r) || r == rate) return;
    rate = r;
    engine.setSampleRate(static_cast<int32_t>(r));
}

float ReverbCore::outGain() {
    const double db = parameterTable[kOut].range.lerp(programs[current].values[kOut]);
    return saneLevel(static_cast<float>(portable::pow10(db * 0.05)));
}

void ReverbCore::applyToEngine(int index) {
    const float* values = programs[current].values;
    const float v = values[index];
    const ParameterRange& range = parameterTable[index].range;
    switch (index) {
    case kPan: engine.setPan(v); break;
    case kOut: {
        const float gain = outGain();
        engine.setLateLevel(gain);
        engine.setEarlyLevel(saneLevel(gain * values[kEarlyLevel]));
        break;
    }
    case kT60: engine.setT60(static_cast<float>(range.lerp(v) * 0.001f)); break;
    case kDamping: engine.setDamping(static_cast<float>(range.lerp(v))); break;
    case kDensity: engine.setDensity(v); break;
    case kEarlyDelay: engine.setEarlyDelay(v); break;
    case kHighCut: engine.setHighCut(static_cast<float>(range.lerp(v))); break;
    case kLowCut: engine.setLowCut(static_cast<float>(range.lerp(v))); break;
    case kDryOut: engine.setDry(v > 0.5f); break;
    case kSensitivity: engine.setSensitivity(v); break;
    case kHold: engine.setHold(static_cast<float>(range.lerp(v) * 0.001f)); break;
    case kRoomSize: engine.setRoomSize(v); break;
    case kEarlyLevel: engine.setEarlyLevel(saneLevel(v * outGain())); break;
    default: break;
    }
}

void ReverbCore::render(const float* inL, const float* inR, float* outL, float* outR, int frames, bool acc) {
    const float offset = noise.next();
    if (frames <= 0 || !inL || !inR || !outL || !outR) return;
    float blockPeak = 0.0f;
    if (isClean(inL, frames) && isClean(inR, frames)) {
        engine.processBlock(inL, inR, outL, outR, frames, offset, acc, blockPeak);
    } else {
        for (int done = 0; done < frames; done += kCleanFrames) {
            const int n = std::min(frames - done, kCleanFrames);
            cleanInto(cleanLeft, inL + done, n);
            cleanInto(cleanRight, inR + done, n);
            engine.processBlock(cleanLeft, cleanRight, outL + done, outR + done, n, offset, acc, blockPeak);
        }
    }
    float peak = peakLevel.load(std::memory_order_relaxed);
    while (blockPeak > peak && !peakLevel.compare_exchange_weak(peak, blockPeak, std::memory_order_relaxed)) {
    }
}
