// Creating an effect for a host, and the little state the whole library shares.
#pragma once

#include "host/aeffect.h"

class EffectBase;

// Set by an effect whose construction could not complete; never cleared, so that one
// such failure refuses every later effect in this process.
extern bool constructionFailed;
// The library's own module handle, recorded when it is loaded (null where the platform
// has no such handle).
extern void* moduleInstance;

// Builds the concrete effect with the host's callback; may return null.
using EffectFactory = EffectBase* (*)(audioMasterCallback host);

// What the exported main does: checks that the host answers the version query, builds
// the effect and hands back its record, or null when anything failed.
AEffect* createEffect(audioMasterCallback host, EffectFactory makeEffect);
