// Calls into the host. Without a host callback each gives the answer 0 converted as
// below, which is the wrapper's own default (false, null, or the stored value).
#include "host/extended_effect_base.h"

namespace {

bool yes(VstIntPtr answer) { return answer != 0; }

template <typename Record>
Record* asPointer(VstIntPtr answer) {
    return reinterpret_cast<Record*>(answer);
}

}  // namespace

VstInt32 ExtendedEffectBase::hostWantMidi(VstInt32 filter) {
    return clampToInt32(callHost(audioMasterWantMidi, 0, filter));
}

VstTimeInfo* ExtendedEffectBase::hostGetTime(VstInt32 filter) {
    return asPointer<VstTimeInfo>(callHost(audioMasterGetTime, 0, filter));
}

VstInt32 ExtendedEffectBase::hostTempoAt(VstInt32 position) {
    return clampToInt32(callHost(audioMasterTempoAt, 0, position));
}

VstInt32 ExtendedEffectBase::hostGetNumAutomatableParameters() {
    return clampToInt32(callHost(audioMasterGetNumAutomatableParameters));
}

VstInt32 ExtendedEffectBase::hostGetParameterQuantization() {
    return clampToInt32(callHost(audioMasterGetParameterQuantization));
}

bool ExtendedEffectBase::hostIoChanged() { return yes(callHost(audioMasterIOChanged)); }

bool ExtendedEffectBase::hostNeedIdle() { return yes(callHost(audioMasterNeedIdle)); }

bool ExtendedEffectBase::hostSizeWindow(VstInt32 width, VstInt32 height) {
    return yes(callHost(audioMasterSizeWindow, width, height));
}

// Only a positive answer is a sample rate; anything else keeps what we have.
float ExtendedEffectBase::hostGetSampleRate() {
    const VstIntPtr answer = callHost(audioMasterGetSampleRate);
    if (answer > 0) sampleRate = static_cast<float>(answer);
    return sampleRate;
}

VstInt32 ExtendedEffectBase::hostGetBlockSize() {
    const VstIntPtr answer = callHost(audioMasterGetBlockSize);
    if (answer > 0) blockSize = clampToInt32(answer);
    return blockSize;
}

VstInt32 ExtendedEffectBase::hostGetInputLatency() { return clampToInt32(callHost(audioMasterGetInputLatency)); }

VstInt32 ExtendedEffectBase::hostGetOutputLatency() { return clampToInt32(callHost(audioMasterGetOutputLatency)); }

AEffect* ExtendedEffectBase::hostGetPreviousPlug(VstInt32 input) {
    (void)input;  // the host's request has no place for it
    return asPointer<AEffect>(callHost(audioMasterGetPreviousPlug));
}

AEffect* ExtendedEffectBase::hostGetNextPlug(VstInt32 output) {
    (void)output;
    return asPointer<AEffect>(callHost(audioMasterGetNextPlug));
}

VstInt32 ExtendedEffectBase::hostWillReplaceOrAccumulate() {
    return clampToInt32(callHost(audioMasterWillReplaceOrAccumulate));
}

VstInt32 ExtendedEffectBase::hostGetCurrentProcessLevel() {
    return clampToInt32(callHost(audioMasterGetCurrentProcessLevel));
}

VstInt32 ExtendedEffectBase::hostGetAutomationState() { return clampToInt32(callHost(audioMasterGetAutomationState)); }

bool ExtendedEffectBase::hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource) {
    return yes(callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task));
}

bool ExtendedEffectBase::hostOfflineWrite(VstOfflineTask* task, VstInt32 option) {
    return yes(callHost(audioMasterOfflineWrite, 0, option, task));
}

bool ExtendedEffectBase::hostOfflineStart(VstAudioFile* files, VstInt32 fileCount, VstInt32 newFileCount) {
    return yes(callHost(audioMasterOfflineStart, newFileCount, fileCount, files));
}

VstInt32 ExtendedEffectBase::hostOfflineGetCurrentPass() {
    return yes(callHost(audioMasterOfflineGetCurrentPass)) ? 1 : 0;
}

VstInt32 ExtendedEffectBase::hostOfflineGetCurrentMetaPass() {
    return yes(callHost(audioMasterOfflineGetCurrentMetaPass)) ? 1 : 0;
}

void ExtendedEffectBase::hostSetOutputSampleRate(float rate) {
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* ExtendedEffectBase::hostGetInputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(audioMasterGetInputSpeakerArrangement));
}

VstSpeakerArrangement* ExtendedEffectBase::hostGetOutputSpeakerArrangement() {
    return asPointer<VstSpeakerArrangement>(callHost(audioMasterGetOutputSpeakerArrangement));
}

// The host writes into the text: without one there is nothing to ask.
bool ExtendedEffectBase::hostGetVendorString(char* text) {
    return text && yes(callHost(audioMasterGetVendorString, 0, 0, text));
}

bool ExtendedEffectBase::hostGetProductString(char* text) {
    return text && yes(callHost(audioMasterGetProductString, 0, 0, text));
}

VstInt32 ExtendedEffectBase::hostGetVendorVersion() { return clampToInt32(callHost(audioMasterGetVendorVersion)); }

VstIntPtr ExtendedEffectBase::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

// Hosts answer 1 for yes and -1 for no; both count as an answer here.
VstInt32 ExtendedEffectBase::hostCanDo(char* text) {
    return text && yes(callHost(audioMasterCanDo, 0, 0, text)) ? 1 : 0;
}

VstInt32 ExtendedEffectBase::hostGetLanguage() { return clampToInt32(callHost(audioMasterGetLanguage)); }

void* ExtendedEffectBase::hostOpenWindow(VstWindow* window) {
    return window ? asPointer<void>(callHost(audioMasterOpenWindow, 0, 0, window)) : nullptr;
}

bool ExtendedEffectBase::hostCloseWindow(VstWindow* window) {
    return window && yes(callHost(audioMasterCloseWindow, 0, 0, window));
}

void* ExtendedEffectBase::hostGetDirectory() { return asPointer<void>(callHost(audioMasterGetDirectory)); }

bool ExtendedEffectBase::hostUpdateDisplay() { return yes(callHost(audioMasterUpdateDisplay)); }

bool ExtendedEffectBase::hostBeginEdit(VstInt32 index) { return yes(callHost(audioMasterBeginEdit, index)); }

bool ExtendedEffectBase::hostEndEdit(VstInt32 index) { return yes(callHost(audioMasterEndEdit, index)); }

bool ExtendedEffectBase::hostOpenFileSelector(VstFileSelect* selector) {
    return selector && yes(callHost(audioMasterOpenFileSelector, 0, 0, selector));
}
