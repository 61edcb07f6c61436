// The reverb for a web page's audio worklet: C calls over the core, one instance per
// engine, with the input and output of one render quantum kept beside it, so that the
// worklet copies samples in and out of fixed places and calls render once per quantum.
// Names, labels, display texts and programs come from the tables through these calls:
// the page knows none of them itself.
#include <emscripten/emscripten.h>

#include <new>

#include "effect/parameter_table.h"
#include "effect/reverb_core.h"
#include "effect/reverb_program.h"

namespace {

// The Web Audio render quantum: every call renders at most this many frames.
constexpr int kQuantumFrames = 128;

struct WebEngine {
    ReverbCore core;
    float input[2][kQuantumFrames] = {};
    float output[2][kQuantumFrames] = {};
};

char displayText[kParameterTextSize];

}  // namespace

extern "C" {

// Null when the rate is unusable or the engine could not get its buffers.
EMSCRIPTEN_KEEPALIVE WebEngine* hallmere_create(float sampleRate) {
    if (!(sampleRate > 0)) return nullptr;
    auto* engine = new (std::nothrow) WebEngine;
    if (!engine) return nullptr;
    engine->core.setSampleRate(sampleRate);
    engine->core.resume();
    if (!engine->core.isValid()) {
        delete engine;
        return nullptr;
    }
    return engine;
}

EMSCRIPTEN_KEEPALIVE void hallmere_destroy(WebEngine* engine) { delete engine; }

EMSCRIPTEN_KEEPALIVE int hallmere_quantum_frames() { return kQuantumFrames; }

// 0 and 1: the left and right input; 2 and 3: the output.
EMSCRIPTEN_KEEPALIVE float* hallmere_buffer(WebEngine* engine, int which) {
    if (which < 0 || which > 3) return nullptr;
    return which < 2 ? engine->input[which] : engine->output[which - 2];
}

// One audio call: the quantum's changes taken over, one noise offset, frames rendered.
EMSCRIPTEN_KEEPALIVE void hallmere_render(WebEngine* engine, int frames) {
    if (frames > kQuantumFrames) frames = kQuantumFrames;
    engine->core.render(engine->input[0], engine->input[1], engine->output[0], engine->output[1], frames, false);
}

EMSCRIPTEN_KEEPALIVE void hallmere_set_parameter(WebEngine* engine, int index, float value) {
    engine->core.setParameter(index, value);
}

EMSCRIPTEN_KEEPALIVE float hallmere_parameter(WebEngine* engine, int index) {
    return engine->core.getParameter(index);
}

EMSCRIPTEN_KEEPALIVE void hallmere_set_program(WebEngine* engine, int program) { engine->core.setProgram(program); }

EMSCRIPTEN_KEEPALIVE int hallmere_program(WebEngine* engine) { return engine->core.program(); }

EMSCRIPTEN_KEEPALIVE float hallmere_take_peak(WebEngine* engine) { return engine->core.takePanelPeak(); }

EMSCRIPTEN_KEEPALIVE int hallmere_gate_state(WebEngine* engine) { return engine->core.gateState(); }

// How long the output may go on after the input stops, for the current program's values.
EMSCRIPTEN_KEEPALIVE double hallmere_tail_seconds(WebEngine* engine) { return engine->core.tailSeconds(); }

EMSCRIPTEN_KEEPALIVE int hallmere_parameter_count() { return kParameterCount; }

EMSCRIPTEN_KEEPALIVE int hallmere_program_count() { return kProgramCount; }

// The table's texts, trailing fill included; null for an index out of range.
EMSCRIPTEN_KEEPALIVE const char* hallmere_parameter_name(int index) {
    return isParameterIndex(index) ? parameterTable[index].name : nullptr;
}

EMSCRIPTEN_KEEPALIVE const char* hallmere_parameter_label(int index) {
    return isParameterIndex(index) ? parameterTable[index].label : nullptr;
}

EMSCRIPTEN_KEEPALIVE const char* hallmere_program_name(WebEngine* engine, int program) {
    return engine->core.programAt(program).name;
}

// The host's display text of a value (the physical value, three decimals); valid until the
// next call.
EMSCRIPTEN_KEEPALIVE const char* hallmere_display_text(int index, float value) {
    displayText[0] = '\0';
    formatHostDisplay(index, value, displayText, sizeof displayText);
    return displayText;
}

}  // extern "C"
