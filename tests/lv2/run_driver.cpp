// Drives hallmere.so's run() the way a host's audio thread does: block sizes from 1 to 4096
// frames, every control port changed between blocks (non-finite and far-out values among
// them), broken input blocks now and then, the meter and gate read back. Fails on any
// non-finite output or port reading outside its range.
//   lv2_run_driver BUNDLE_FOLDER [BLOCKS [--checked]]
//
// With the real-time checker preloaded (LD_PRELOAD=<build>/tests/realtime/libhallmere_rtcheck.so)
// each run() is marked as an audio entry point, and any allocation, lock, wait, sleep or file
// call inside one fails the run; --checked fails it when the checker is not there.
#include <dlfcn.h>
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "plugin/lv2/port_map.h"
#include "tools/vsthost/rt_counter.h"

namespace {

constexpr int kMaxBlock = 4096;
constexpr float kInf = std::numeric_limits<float>::infinity();

// Port values in musicians' units, picked in turn: the range ends, inside, outside, broken.
float pick(int index, unsigned n) {
    const ParameterRange& r = parameterTable[index].range;
    switch (n % 8) {
    case 0: return r.min;
    case 1: return r.max;
    case 2: return static_cast<float>(r.lerp(static_cast<float>(n % 97) / 96.0f));
    case 3: return std::nanf("");
    case 4: return (n & 16) ? kInf : -kInf;
    case 5: return r.max * 1e6f + 1e6f;
    case 6: return -1e30f;
    default: return static_cast<float>(r.lerp(0.5f));
    }
}

int failed(const std::string& what) {
    std::fprintf(stderr, "FAIL: %s\n", what.c_str());
    return 1;
}

// The checker's marks and counts, when it is in the process.
struct Checker {
    void (*enter)() = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_enter"));
    void (*leave)() = reinterpret_cast<void (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_leave"));
    long (*count)(int) = reinterpret_cast<long (*)(int)>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_count"));
    const char* (*first)() = reinterpret_cast<const char* (*)()>(dlsym(RTLD_DEFAULT, "hallmere_rtcheck_first"));
    bool present() const { return enter && leave && count && first; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return failed("usage: lv2_run_driver BUNDLE_FOLDER [BLOCKS [--checked]]");
    const int blocks = argc > 2 ? std::atoi(argv[2]) : 3000;
    void* library = dlopen((std::string(argv[1]) + "/hallmere.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return failed(dlerror());
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(library, "lv2_descriptor"));
    const LV2_Descriptor* plugin = entry ? entry(0) : nullptr;
    if (!plugin || std::string(plugin->URI) != lv2port::kPluginUri) return failed("no Hallmere descriptor");

    const LV2_Feature* features[] = {nullptr};
    LV2_Handle instance = plugin->instantiate(plugin, 48000.0, argv[1], features);
    if (!instance) return failed("instantiate failed");
    std::vector<float> in[2], out[2];
    float controls[kParameterCount] = {}, meter = -1.0f, gate = -1.0f;
    for (int c = 0; c < 2; ++c) {
        in[c].assign(kMaxBlock, 0.0f);
        out[c].assign(kMaxBlock, 0.0f);
    }
    plugin->connect_port(instance, lv2port::kInLeft, in[0].data());
    plugin->connect_port(instance, lv2port::kInRight, in[1].data());
    plugin->connect_port(instance, lv2port::kOutLeft, out[0].data());
    plugin->connect_port(instance, lv2port::kOutRight, out[1].data());
    for (int i = 0; i < kParameterCount; ++i) plugin->connect_port(instance, lv2port::forParameter(i), &controls[i]);
    plugin->connect_port(instance, lv2port::kMeter, &meter);
    plugin->connect_port(instance, lv2port::kGate, &gate);
    plugin->activate(instance);

    const Checker checker;
    if (argc > 3 && std::string(argv[3]) == "--checked" && !checker.present())
        return failed("no real-time checker in this process");
    const int sizes[] = {1, 2, 7, 64, 256, 300, 512, 1024, 4096, 0};
    unsigned seed = 1;
    long frames = 0;
    for (int b = 0; b < blocks; ++b) {
        const int n = sizes[b % 10];
        for (int i = 0; i < kParameterCount; ++i) controls[i] = pick(i, b * 13u + i * 5u);
        for (int c = 0; c < 2; ++c)
            for (int f = 0; f < n; ++f) {
                seed = seed * 1664525u + 1013904223u;
                in[c][f] = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
            }
        if (b % 17 == 5 && n > 0) in[b & 1][n / 2] = (b & 2) ? std::nanf("") : kInf;
        if (checker.present()) checker.enter();
        plugin->run(instance, static_cast<uint32_t>(n));
        if (checker.present()) checker.leave();
        for (int c = 0; c < 2; ++c)
            for (int f = 0; f < n; ++f)
                if (!std::isfinite(out[c][f])) return failed("non-finite output in block " + std::to_string(b));
        if (!(meter >= 0.0f && std::isfinite(meter))) return failed("meter reads " + std::to_string(meter));
        if (gate != 0.0f && gate != 1.0f && gate != 2.0f) return failed("gate reads " + std::to_string(gate));
        frames += n;
    }
    if (plugin->deactivate) plugin->deactivate(instance);
    plugin->cleanup(instance);
    dlclose(library);
    std::printf("run: %d blocks, %ld frames\n", blocks, frames);
    if (checker.present()) {
        long total = 0;
        for (int kind = 0; kind < vsthost::kRtKindCount; ++kind) {
            const long n = checker.count(kind);
            std::printf("audio-thread-%s: %ld\n", vsthost::kRtKindNames[kind], n);
            total += n;
        }
        if (total != 0)
            return failed(std::string("run() made calls an audio thread must not: first ") +
                          (checker.first() ? checker.first() : "?"));
    }
    std::printf("ok\n");
    return 0;
}
