// The reference every format's render is held to: the VST 2.x effect's processReplacing,
// one program, a signal in blocks of one size.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "effect/reverb_effect.h"
#include "tests/common/stereo_signal.h"

namespace testsignal {

inline Stereo vst2Render(const Stereo& in, int program, std::size_t block, float rate) {
    ReverbEffect effect(nullptr);
    effect.setSampleRate(rate);
    effect.setProgram(program);
    effect.resume();
    Stereo out(in.left.size());
    for (std::size_t at = 0; at < in.left.size(); at += block) {
        const auto n = static_cast<VstInt32>(std::min(block, in.left.size() - at));
        float* inputs[2] = {const_cast<float*>(&in.left[at]), const_cast<float*>(&in.right[at])};
        float* outputs[2] = {&out.left[at], &out.right[at]};
        effect.processReplacing(inputs, outputs, n);
    }
    return out;
}

// render(program, in, block) against the VST 2.x render, for every factory program at two
// block sizes, one a power of two and one not.
template <class Render>
void expectEachProgramIsTheVst2Render(float rate, Render render) {
    const Stereo in = testSignal(20000);
    for (int program = 0; program < kProgramCount; ++program) {
        for (std::size_t block : {512u, 333u}) {
            const Stereo out = render(program, in, block);
            EXPECT_TRUE(sameBits(out, vst2Render(in, program, block, rate)))
                << "program " << program << ", blocks of " << block;
            EXPECT_GT(*std::max_element(out.left.begin(), out.left.end()), 0.01f) << "program " << program;
        }
    }
}

}  // namespace testsignal
