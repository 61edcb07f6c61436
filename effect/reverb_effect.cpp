#include "effect/reverb_effect.h"

#include "dsp/portable_math.h"
#include "hallmere_version.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr VstInt32 kUniqueId = fourCharCode('T', 'v', 'H', 'm');
constexpr VstInt32 kVendorVersion = HALLMERE_VENDOR_VERSION;
constexpr float kMilliseconds = 0.001f;

// The capabilities this effect claims, compared exactly, in this order.
const char* const kCapabilities[] = {
    "plugAsChannelInsert", "plugAsSend", "mixDryWet", "1in1out", "1in2out", "2in1out", "2in2out",
};

float decibelsToGain(double decibels) { return static_cast<float>(portable::pow10(decibels * 0.05)); }

// The engine takes its two wet levels as given, and one infinite or NaN level would fill its
// delay lines with values no later setting can wash out. Host values outside [0, 1] keep
// their stored value, but the engine hears at most the top of Out's range (+20 dB), and a
// NaN level as silence; every level inside the range passes unchanged.
constexpr float kMaxWetLevel = 10.0f;

float saneLevel(float level) {
    if (std::isnan(level)) return 0.0f;
    if (level > kMaxWetLevel) return kMaxWetLevel;
    if (level < -kMaxWetLevel) return -kMaxWetLevel;
    return level;
}

// Input samples are passed on untouched up to this magnitude. Beyond it even the loudest
// settings could overflow the delay lines, and one infinity there turns into a NaN that
// circulates for good; so larger samples are held at the limit and non-finite ones become 0.
constexpr float kInputLimit = 1e20f;

bool isClean(const float* samples, VstInt32 frames) {
    bool clean = true;
    for (VstInt32 i = 0; i < frames; ++i) clean &= std::fabs(samples[i]) <= kInputLimit;
    return clean;
}

void cleanInto(float* into, const float* samples, VstInt32 frames) {
    for (VstInt32 i = 0; i < frames; ++i) {
        const float x = samples[i];
        into[i] = std::isfinite(x) ? std::fmin(std::fmax(x, -kInputLimit), kInputLimit) : 0.0f;
    }
}

bool copyText(char* destination, const char* text) {
    if (destination == nullptr) return false;
    std::strcpy(destination, text);
    return true;
}

}  // namespace

ReverbEffect::ReverbEffect(audioMasterCallback host) : ExtendedEffectBase(host, kProgramCount, kParameterCount) {
    programCount = kProgramCount;
    parameterCount = kParameterCount;
    currentProgram = 0;
    for (int i = 0; i < kProgramCount; ++i) programs[i].loadFactory(i);
    ReverbEffect::setProgram(0);

    setNumInputs(2);
    setNumOutputs(2);
    setUniqueId(kUniqueId);
    setInitialDelay(0);
    setCanMono(true);
    setCanReplacing(true);
    setHasVu(true);
    setHasClip(true);

    sampleRate = getSampleRate();
    engine.setSampleRate(static_cast<int>(sampleRate));
}

ReverbEffect::~ReverbEffect() = default;

bool ReverbEffect::isValid() const { return engine.isValid(); }

ReverbProgram& ReverbEffect::current() {
    // currentProgram is a plain field of the base; never let it index outside the programs.
    const VstInt32 p = currentProgram;
    return programs[(p >= 0 && p < kProgramCount) ? p : 0];
}

void ReverbEffect::setParameter(VstInt32 index, float value) {
    if (!isParameterIndex(index)) return;
    current().values[index] = value;
    applyToEngine(index);
}

float ReverbEffect::getParameter(VstInt32 index) {
    return isParameterIndex(index) ? current().values[index] : 0.0f;
}

// Converts the stored normalised value of one parameter into the engine's units.
void ReverbEffect::applyToEngine(int index) {
    const float* values = current().values;
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
    case kT60: engine.setT60(static_cast<float>(range.lerp(v) * kMilliseconds)); break;
    case kDamping: engine.setDamping(static_cast<float>(range.lerp(v))); break;
    case kDensity: engine.setDensity(v); break;
    case kEarlyDelay: engine.setEarlyDelay(v); break;
    case kHighCut: engine.setHighCut(static_cast<float>(range.lerp(v))); break;
    case kLowCut: engine.setLowCut(static_cast<float>(range.lerp(v))); break;
    case kDryOut: engine.setDry(v > 0.5f); break;
    case kSensitivity: engine.setSensitivity(v); break;
    case kHold: engine.setHold(static_cast<float>(range.lerp(v) * kMilliseconds)); break;
    case kRoomSize: engine.setRoomSize(v); break;
    case kEarlyLevel: engine.setEarlyLevel(saneLevel(v * outGain())); break;
    default: break;
    }
}

// The linear wet gain of the current program's Out value.
float ReverbEffect::outGain() {
    return saneLevel(decibelsToGain(parameterTable[kOut].range.lerp(current().values[kOut])));
}

void ReverbEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    render(inputs, outputs, sampleFrames, true);
}

void ReverbEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    render(inputs, outputs, sampleFrames, false);
}

void ReverbEffect::render(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate) {
    const float offset = noise.next();  // one offset per block keeps the filters out of denormals
    if (sampleFrames <= 0 || inputs == nullptr || outputs == nullptr) return;
    if (inputs[0] == nullptr || inputs[1] == nullptr || outputs[0] == nullptr || outputs[1] == nullptr) return;
    float blockPeak = 0.0f;
    if (isClean(inputs[0], sampleFrames) && isClean(inputs[1], sampleFrames)) {
        engine.processBlock(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames, offset, accumulate,
                            blockPeak);
    } else {
        // Rare: the host handed over a broken block. Feed the engine a cleaned copy, piece by piece.
        for (VstInt32 done = 0; done < sampleFrames; done += kCleanFrames) {
            const VstInt32 n = std::min(sampleFrames - done, kCleanFrames);
            cleanInto(cleanLeft, inputs[0] + done, n);
            cleanInto(cleanRight, inputs[1] + done, n);
            engine.processBlock(cleanLeft, cleanRight, outputs[0] + done, outputs[1] + done, n, offset, accumulate,
                                blockPeak);
        }
    }
    raisePeak(blockPeak);
}

void ReverbEffect::raisePeak(float blockPeak) {
    float peak = peakLevel.load(std::memory_order_relaxed);
    while (blockPeak > peak && !peakLevel.compare_exchange_weak(peak, blockPeak, std::memory_order_relaxed)) {
    }
}

float ReverbEffect::getVu() { return peakLevel.exchange(0.0f, std::memory_order_relaxed); }

void ReverbEffect::setProgram(VstInt32 program) {
    if (program < 0 || program >= kProgramCount) return;
    currentProgram = program;
    for (int index = 0; index < kParameterCount; ++index) setParameter(index, programs[program].values[index]);
}

void ReverbEffect::setProgramName(char* name) { current().setName(name); }

void ReverbEffect::getProgramName(char* name) { copyText(name, current().name); }

void ReverbEffect::getParameterLabel(VstInt32 index, char* label) {
    if (isParameterIndex(index)) copyText(label, current().parameterLabels[index]);
}

void ReverbEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (isParameterIndex(index)) formatHostDisplay(index, current().values[index], text, kParameterTextSize);
}

void ReverbEffect::getParameterName(VstInt32 index, char* text) {
    if (isParameterIndex(index)) copyText(text, current().parameterNames[index]);
}

void ReverbEffect::setSampleRate(float rate) {
    if (rate == sampleRate) return;
    sampleRate = rate;
    engine.setSampleRate(truncateToInt32(rate));
}

void ReverbEffect::resume() { engine.updateCoefficients(); }

bool ReverbEffect::getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
    (void)category;
    if (index < 0 || index >= kProgramCount) return false;
    return copyText(text, programs[index].name);
}

bool ReverbEffect::getEffectName(char* name) { return copyText(name, "Hallmere"); }
bool ReverbEffect::getErrorText(char* text) { return copyText(text, "Error"); }
bool ReverbEffect::getVendorString(char* text) { return copyText(text, "Tovik"); }
bool ReverbEffect::getProductString(char* text) { return copyText(text, "Tovik VST PLUGIN"); }
VstInt32 ReverbEffect::getVendorVersion() { return kVendorVersion; }

VstInt32 ReverbEffect::canDo(char* text) {
    if (text == nullptr) return -1;
    for (const char* capability : kCapabilities)
        if (std::strcmp(text, capability) == 0) return 1;
    return -1;
}

int ReverbEffect::gateState() const { return engine.gateState(); }
