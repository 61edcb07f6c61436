// A minimal effect for testing the host: stereo gain with a channel swap. Built in
// several variants (see CMakeLists.txt) that each misbehave in one way a host must
// survive.
#include "host/aeffect.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#if defined(_WIN32)
#define GAIN_EXPORT extern "C" __declspec(dllexport)
#else
#define GAIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

// Two parameters: gain (0..1 maps to 0..2, default 0.5 = unity) and swap (>= 0.5 swaps).
struct GainEffect {
    AEffect record{};
    audioMasterCallback host = nullptr;
    float gain = 0.5f;
    float swap = 0.0f;
    VstInt32 program = 0;
    std::thread helper;  // calls the host from a thread of its own while resumed
};

const char* const kProgramNames[] = {"Unity", "Half Swapped"};
const float kPrograms[][2] = {{0.5f, 0.0f}, {0.25f, 1.0f}};

GainEffect* self(AEffect* e) { return static_cast<GainEffect*>(e->object); }

void copyText(void* ptr, const char* text) {
    if (ptr) {
        std::strcpy(static_cast<char*>(ptr), text);
    }
}

void setParameter(AEffect* e, VstInt32 index, float value) { (index == 0 ? self(e)->gain : self(e)->swap) = value; }

float getParameter(AEffect* e, VstInt32 index) { return index == 0 ? self(e)->gain : self(e)->swap; }

#if defined(GAIN_RT_FAULT)
// One thing no audio callback may do, chosen by GAIN_RT_FAULT in the environment, to show
// that the real-time checker catches it.
void plantedFault() {
    static const std::string fault = std::getenv("GAIN_RT_FAULT") ? std::getenv("GAIN_RT_FAULT") : "";
    static std::mutex mutex;
    if (fault == "malloc") {
        void* volatile block = std::malloc(16);
        std::free(block);
    } else if (fault == "new") {
        int* volatile number = new int(1);
        delete number;
    } else if (fault == "mutex") {
        std::lock_guard<std::mutex> lock(mutex);
    } else if (fault == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // shorter ones may not reach the system
    } else if (fault == "file") {
        if (std::FILE* file = std::fopen("/dev/null", "r")) std::fclose(file);
    }
}
#else
void plantedFault() {}
#endif

template <bool accumulate>
void process(AEffect* e, float** in, float** out, VstInt32 frames) {
    plantedFault();
    GainEffect* g = self(e);
    const float gain = 2.0f * g->gain;
    const bool swap = g->swap >= 0.5f;
    for (VstInt32 i = 0; i < frames; ++i) {
        float left = in[swap ? 1 : 0][i] * gain;
        float right = in[swap ? 0 : 1][i] * gain;
        out[0][i] = accumulate ? out[0][i] + left : left;
        out[1][i] = accumulate ? out[1][i] + right : right;
    }
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float) {
    GainEffect* g = self(e);
    switch (opcode) {
    case effClose:
        if (g->helper.joinable()) {
            g->helper.join();
        }
        delete g;
        return 1;
    case effSetProgram:
        if (value >= 0 && value < 2) {
            g->program = static_cast<VstInt32>(value);
            g->gain = kPrograms[value][0];
            g->swap = kPrograms[value][1];
        }
        return 0;
    case effGetProgram: return g->program;
    case effGetProgramNameIndexed:
        if (index < 0 || index >= 2) {
            return 0;
        }
        copyText(ptr, kProgramNames[index]);
        return 1;
    case effGetParamName:
        copyText(ptr, index == 0 ? "Gain" : "Swap \t ");  // trailing blanks on purpose
        return 0;
    case effGetParamLabel: copyText(ptr, index == 0 ? "x" : ""); return 0;
    case effGetParamDisplay:
        if (ptr) {
            std::snprintf(static_cast<char*>(ptr), 9, "%.3f", index == 0 ? 2.0f * g->gain : g->swap);
        }
        return 0;
    case effMainsChanged:
        if (value && !g->helper.joinable()) {
            g->helper = std::thread([g] {
                for (int i = 0; i < 100; ++i) {
                    g->host(&g->record, audioMasterIdle, 0, 0, nullptr, 0.0f);
                }
            });
        } else if (!value && g->helper.joinable()) {
            g->helper.join();
        }
        return 0;
    case effGetEffectName: copyText(ptr, "TestGain"); return 1;
    case effGetVendorString: copyText(ptr, "Hallmere Tests"); return 1;
    case effGetProductString: copyText(ptr, "Gain"); return 1;
    case effGetVendorVersion: return 3;
    case effCanDo: return ptr && std::strcmp(static_cast<const char*>(ptr), "2in2out") == 0 ? 1 : -1;
    case effGetVstVersion: return 2400;
    default: return 0;
    }
}

}  // namespace

#if defined(GAIN_NO_ENTRY)
// Exported under a name no host looks for.
#define VSTPluginMain createGainEffect
#endif

GAIN_EXPORT AEffect* VSTPluginMain(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
        return nullptr;
    }
#if defined(GAIN_RETURNS_NULL)
    return nullptr;
#endif
    char hostName[64] = {};
    host(nullptr, audioMasterGetProductString, 0, 0, hostName, 0.0f);
    host(nullptr, audioMasterCanDo, 0, 0, const_cast<char*>("startStopProcess"), 0.0f);
    GainEffect* g = new GainEffect;
    g->host = host;
    AEffect& r = g->record;
    r.magic = kEffectMagic;
#if defined(GAIN_BAD_MAGIC)
    r.magic = fourCharCode('N', 'o', 'p', 'e');
#endif
    r.dispatcher = dispatcher;
    r.process = process<true>;
    r.processReplacing = process<false>;
    r.setParameter = setParameter;
    r.getParameter = getParameter;
    r.numPrograms = 2;
    r.numParams = 2;
    r.numInputs = 2;
    r.numOutputs = 2;
    r.flags = effFlagsCanReplacing;
    r.ioRatio = 1.0f;
    r.object = g;
    r.uniqueID = fourCharCode('T', 'g', 'a', 'n');
    r.version = 7;
#if defined(GAIN_NO_PARAMS)
    r.numParams = 0;
#endif
#if defined(GAIN_ODD)
    // Broken answers a host must survive: no parameter entries, no replacing entry although
    // the flag claims one, negative parameter count, an editor without a size.
    r.numParams = -3;
    r.getParameter = nullptr;
    r.setParameter = nullptr;
    r.processReplacing = nullptr;
    r.flags |= effFlagsHasEditor;
#endif
    return &r;
}
