// The five functions the record hands to the host. Each finds the effect through the
// record's object field and forwards to one of its operations.
#pragma once

#include "host/aeffect.h"

VstIntPtr VSTCALLBACK dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt);
void VSTCALLBACK processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
void VSTCALLBACK processReplacingEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
void VSTCALLBACK setParameterEntry(AEffect* effect, VstInt32 index, float value);
float VSTCALLBACK getParameterEntry(AEffect* effect, VstInt32 index);
