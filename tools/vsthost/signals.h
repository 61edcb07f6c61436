// Built-in stereo test signals. They use only integer arithmetic and the four basic
// floating-point operations, so every build produces exactly the same samples.
#pragma once

#include "tools/vsthost/audio_file.h"

#include <string>

namespace vsthost {

// "impulse": 1.0 in the first frame of both channels.
// "noise":   uniform white noise at ±0.25, independent per channel, fixed seed.
// "drums":   kick and snare alternating in eighths at 120 bpm: decaying noise
//            bursts over a pitched, decaying thump.
// Returns false for an unknown name.
bool makeSignal(const std::string& name, int sampleRate, long frames, AudioData& audio);

}  // namespace vsthost
