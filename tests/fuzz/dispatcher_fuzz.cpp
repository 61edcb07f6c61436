// Drives the plug-in through its effect record the way a careless host might: any opcode
// from 0 to 200 with any index, value and option, valid buffers or null pointers (never
// stray ones: real hosts pass either), parameters set and read with any float, audio
// blocks of odd sizes, program and sample-rate changes, and effClose, now and then in the
// middle followed by a fresh instance.
//
// Besides the sanitizers' checks it asserts what the plug-in promises whatever it is sent:
// a parameter reads back exactly as set, and rendered audio is always finite.
//
// Built twice: with the editor, as the plug-in ships, and without it (FUZZ_WITHOUT_EDITOR),
// where an input costs no panel construction and the dispatcher and the audio path are
// fuzzed many times faster.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#if defined(FUZZ_WITHOUT_EDITOR)
#include "effect/reverb_effect.h"
using FuzzedEffect = ReverbEffect;
#else
#include "editor/reverb_plugin.h"
using FuzzedEffect = ReverbPlugin;
#endif
#include "host/plugin_main.h"

namespace {

// The plug-in's own factory, as the exported entry builds it.
EffectBase* makeReverb(audioMasterCallback host) {
    auto* effect = new (std::nothrow) FuzzedEffect(host);
    if (effect != nullptr && !effect->isValid()) {
        delete effect;
        return nullptr;
    }
    return effect;
}

VstIntPtr VSTCALLBACK host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
    case audioMasterVersion: return 2400;
    case audioMasterGetSampleRate: return 44100;
    case audioMasterGetBlockSize: return 512;
    default: return 0;
    }
}

void fail(const char* what) {
    std::fprintf(stderr, "dispatcher fuzz: %s\n", what);
    std::abort();
}

// Reads the fuzz input as a stream of choices; past its end every choice is 0.
class Choices {
public:
    Choices(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool empty() const { return at >= size; }
    uint8_t byte() { return at < size ? data[at++] : 0; }
    uint32_t word() {
        uint32_t w = 0;
        for (int i = 0; i < 4; ++i) w = (w << 8) | byte();
        return w;
    }
    template <class T, size_t N>
    const T& pick(const T (&list)[N]) {
        return list[byte() % N];
    }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

const VstInt32 kIndices[] = {0, 1, 2, 5, 7, 8, 11, 12, 13, -1, 100, INT32_MIN, INT32_MAX, 3, 9, 10};
const VstIntPtr kValues[] = {0,
                             1,
                             2,
                             7,
                             8,
                             9,
                             -1,
                             13,
                             4096,
                             INT32_MAX,
                             INT32_MIN,
                             std::numeric_limits<VstIntPtr>::max(),
                             std::numeric_limits<VstIntPtr>::min(),
                             3,
                             5,
                             6};
const float kFloats[] = {0.0f,   1.0f, 0.5f, 0.25f, 0.75f,  -1.0f,      2.0f,       1e30f,
                         -1e30f, kNaN, kInf, -kInf, 1e-40f, 0.9999999f, 0.5000001f, std::numeric_limits<float>::max()};
const float kRates[] = {0.0f,     1.0f,      4999.0f, 8000.0f,  22050.0f,  44100.0f, 48000.0f, 96000.0f,
                        96001.0f, 192000.0f, 1e7f,    44100.7f, -44100.0f, kNaN,     kInf,     0.5f};
const VstInt32 kFrames[] = {0, 1, 3, 4, 64, 255, 256, 257, 512, 1000, 4096, 4097, 8192, -1, -4097, 2};

constexpr VstInt32 kMaxFrames = 8192;
constexpr size_t kBufferBytes = 4096;

class Session {
public:
    Session() { openFresh(); }
    ~Session() { close(); }

    void step(Choices& c) {
        switch (c.byte() % 12) {
        case 0:
        case 1: anyOpcode(c); break;
        case 2: setParameter(c); break;
        case 3: effect->getParameter(effect, c.pick(kIndices)); break;
        case 4:
        case 5: render(c); break;
        case 6: dispatch(effSetProgram, 0, static_cast<VstIntPtr>(c.byte() % 12) - 2, nullptr, 0.0f); break;
        case 7: dispatch(effSetSampleRate, 0, 0, nullptr, rate(c)); break;
        case 8: dispatch(effMainsChanged, 0, c.byte() & 1, nullptr, 0.0f); break;
        case 9: dispatch(effSetBlockSizeAndSampleRate, 0, c.pick(kValues), nullptr, rate(c)); break;
        case 10: editor(c); break;
        case 11:
            if (c.byte() % 8 == 0) {  // close mid-sequence, carry on with a fresh instance
                close();
                openFresh();
            }
            break;
        }
    }

private:
    void openFresh() {
        effect = createEffect(host, makeReverb);
        if (!effect || !effect->dispatcher) fail("no effect");
        dispatch(effOpen, 0, 0, nullptr, 0.0f);
    }

    void close() {
        if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
        effect = nullptr;
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    float rate(Choices& c) {
        const uint8_t how = c.byte();
        if (how < 192) return kRates[how % 16];
        return static_cast<float>(c.word() % 10000001u);  // 0 to 1e7 Hz
    }

    float anyFloat(Choices& c) {
        if (c.byte() < 224) return kFloats[c.byte() % 16];
        const uint32_t bits = c.word();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }

    // A buffer the plug-in may read or write: a zeroed record, or for the requests that read
    // a text, a terminated text from the input.
    void* buffer(Choices& c, bool text) {
        std::memset(scratch, 0, sizeof scratch);
        const uint8_t how = c.byte();
        if (how < 64) return nullptr;
        if (text && how < 192) {
            const size_t length = c.byte();
            for (size_t i = 0; i < length; ++i) scratch[i] = static_cast<char>(c.byte());
        }
        return scratch;
    }

    void anyOpcode(Choices& c) {
        const VstInt32 opcode = c.byte() % 201;
        const VstInt32 index = c.byte() < 200 ? c.pick(kIndices) : static_cast<VstInt32>(c.word());
        VstIntPtr value = c.byte() < 200 ? c.pick(kValues) : static_cast<VstIntPtr>(static_cast<int32_t>(c.word()));
        const bool readsText = opcode == effSetProgramName || opcode == effString2Parameter || opcode == effCanDo;
        void* ptr = buffer(c, readsText);
        const float opt = anyFloat(c);
        switch (opcode) {
        case effClose:  // the record dies with it
            close();
            openFresh();
            return;
        case effEditOpen:  // the parent is a window handle: absent here
            ptr = nullptr;
            break;
        case effSetSpeakerArrangement:
        case effGetSpeakerArrangement:  // value carries a pointer too
            std::memset(second, 0, sizeof second);
            value = (c.byte() & 1) ? reinterpret_cast<VstIntPtr>(second) : 0;
            break;
        case effSetChunk:  // a host passes the true size of what it hands over
            value = ptr ? static_cast<VstIntPtr>(c.byte()) : value;
            break;
        default: break;
        }
        dispatch(opcode, index, value, ptr, opt);
    }

    void setParameter(Choices& c) {
        const VstInt32 index = c.pick(kIndices);
        const float value = anyFloat(c);
        effect->setParameter(effect, index, value);
        if (index >= 0 && index < kParameterCount) {
            const float back = effect->getParameter(effect, index);
            if (std::memcmp(&back, &value, sizeof value) != 0) fail("a parameter does not read back as set");
        }
    }

    void render(Choices& c) {
        VstInt32 frames = c.pick(kFrames);
        if (c.byte() >= 240) frames = static_cast<VstInt32>(c.word() % (kMaxFrames + 1));
        const bool replacing = c.byte() & 1;
        const uint8_t signal = c.byte();
        const int count = frames > 0 ? frames : 0;
        for (int i = 0; i < count; ++i) {
            // Mostly noise; now and then a burst of a fuzzed value, NaN and infinity included.
            const float x = static_cast<float>((i * 2654435761u + signal) % 2001u) / 1000.0f - 1.0f;
            inputs[0][i] = x;
            inputs[1][i] = -x;
        }
        if (signal >= 128 && count > 0) {
            const float odd = anyFloat(c);
            const int at = c.byte() % count;
            const int length = c.byte() % 64;
            for (int i = at; i < count && i < at + length; ++i) inputs[(i & 1)][i] = odd;
        }
        for (int ch = 0; ch < 2; ++ch) std::memset(outputs[ch], 0, count * sizeof(float));
        float* in[2] = {inputs[0], inputs[1]};
        float* out[2] = {outputs[0], outputs[1]};
        if (replacing)
            effect->processReplacing(effect, in, out, frames);
        else
            effect->process(effect, in, out, frames);
        for (int i = 0; i < count; ++i)
            if (!std::isfinite(outputs[0][i]) || !std::isfinite(outputs[1][i])) fail("non-finite output");
        if (!std::isfinite(static_cast<float>(dispatch(effGetVu, 0, 0, nullptr, 0.0f)))) fail("bad level");
    }

    void editor(Choices& c) {
        static const VstInt32 kEditorOpcodes[] = {effEditGetRect, effEditOpen,  effEditClose,       effEditIdle,
                                                  effEditKeyDown, effEditKeyUp, effSetEditKnobMode, effEditTop};
        const VstInt32 opcode = c.pick(kEditorOpcodes);
        void* ptr = opcode == effEditGetRect ? static_cast<void*>(second) : nullptr;
        dispatch(opcode, c.pick(kIndices), c.pick(kValues), ptr, anyFloat(c));
    }

    AEffect* effect = nullptr;
    // Shared by every session: each render writes the frames it uses first.
    static float inputs[2][kMaxFrames];
    static float outputs[2][kMaxFrames];
    alignas(16) char scratch[kBufferBytes] = {};
    alignas(16) char second[kBufferBytes] = {};
};

float Session::inputs[2][kMaxFrames];
float Session::outputs[2][kMaxFrames];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Choices choices(data, size);
    auto* session = new Session;
    for (int steps = 0; steps < 96 && !choices.empty(); ++steps) session->step(choices);
    delete session;  // effClose at the end
    return 0;
}
