#include "effect/reverb_effect.h"

#include <cstring>

namespace {

constexpr VstInt32 kUniqueId = fourCharCode('T', 'v', 'H', 'm');
// Hosts take this number as part of the plug-in's identity: it stays as it was first
// published, whatever the release (the release number is in the version strings).
constexpr VstInt32 kVendorVersion = 105;

// The capabilities this effect claims, compared exactly, in this order.
const char* const kCapabilities[] = {
    "plugAsChannelInsert", "plugAsSend", "mixDryWet", "1in1out", "1in2out", "2in1out", "2in2out",
};

bool copyText(char* destination, const char* text) {
    if (destination == nullptr) return false;
    std::strcpy(destination, text);
    return true;
}

}  // namespace

ReverbEffect::ReverbEffect(audioMasterCallback host) : ExtendedEffectBase(host, kProgramCount, kParameterCount) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueId(kUniqueId);
    setInitialDelay(0);
    setCanMono(true);
    setCanReplacing(true);
    setHasVu(true);
    setHasClip(true);
    core.setSampleRate(sampleRate);
}

ReverbEffect::~ReverbEffect() = default;

bool ReverbEffect::isValid() const { return core.isValid(); }

void ReverbEffect::setParameter(VstInt32 index, float value) {
    if (!isParameterIndex(index)) return;
    core.setParameter(index, value);
    parameterChanged(index, value);
}

float ReverbEffect::getParameter(VstInt32 index) { return core.getParameter(index); }

void ReverbEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames) {
    render(inputs, outputs, sampleFrames, true);
}

void ReverbEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    render(inputs, outputs, sampleFrames, false);
}

void ReverbEffect::render(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate) {
    const bool wired = inputs && outputs;
    core.render(wired ? inputs[0] : nullptr, wired ? inputs[1] : nullptr, wired ? outputs[0] : nullptr,
                wired ? outputs[1] : nullptr, sampleFrames, accumulate);
}

float ReverbEffect::getVu() { return core.takePeak(); }

// The base's currentProgram is a plain field that other threads may read while the audio
// thread switches; the core's program is the one the host is told.
void ReverbEffect::setProgram(VstInt32 program) {
    if (program < 0 || program >= kProgramCount) return;
    core.setProgram(program);
    for (int index = 0; index < kParameterCount; ++index) parameterChanged(index, core.getParameter(index));
}

VstInt32 ReverbEffect::getProgram() { return core.program(); }

void ReverbEffect::setProgramName(char* name) { core.currentProgram().setName(name); }

void ReverbEffect::getProgramName(char* name) { copyText(name, core.currentProgram().name); }

void ReverbEffect::getParameterLabel(VstInt32 index, char* label) {
    if (isParameterIndex(index)) copyText(label, parameterTable[index].label);
}

void ReverbEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (isParameterIndex(index))
        formatHostDisplay(index, core.currentProgram().values[index], text, kParameterTextSize);
}

void ReverbEffect::getParameterName(VstInt32 index, char* text) {
    if (isParameterIndex(index)) copyText(text, parameterTable[index].name);
}

void ReverbEffect::setSampleRate(float rate) {
    if (rate == sampleRate) return;
    sampleRate = rate;
    core.setSampleRate(rate);
}

void ReverbEffect::resume() { core.resume(); }

bool ReverbEffect::getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) {
    (void)category;
    if (index < 0 || index >= kProgramCount) return false;
    return copyText(text, core.programAt(index).name);
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

int ReverbEffect::gateState() const { return core.gateState(); }
