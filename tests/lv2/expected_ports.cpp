// Prints the ports Hallmere.lv2 must have, in bundle_tool.py's "ports" format, from the
// parameter table and program 0: what lv2info reads from the bundle must match.
#include <cstdio>
#include <string>

#include "effect/reverb_program.h"

namespace {

// Port symbols are what sessions and presets store: they must never change.
const char* const kSymbols[kParameterCount] = {
    "pan",     "out",     "t60",         "damping", "density",   "early_ref_delay", "high_cut",
    "low_cut", "dry_out", "sensitivity", "hold",    "room_size", "early_ref_level",
};

std::string trimmed(const char* text) {
    std::string s(text);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

std::string unitOf(const std::string& label) {
    if (label == "%") return "pc";
    if (label == "dB") return "db";
    if (label == "ms") return "ms";
    if (label == "Hz") return "hz";
    return "-";
}

}  // namespace

int main() {
    const char* audio[] = {"InputPort\tin_l\tLeft in", "InputPort\tin_r\tRight in", "OutputPort\tout_l\tLeft out",
                           "OutputPort\tout_r\tRight out"};
    int index = 0;
    for (const char* port : audio) std::printf("%d\tAudioPort,%s\t-\t-\t-\t-\t-\n", index++, port);
    for (int i = 0; i < kParameterCount; ++i, ++index) {
        const ParameterInfo& info = parameterTable[i];
        const std::string label = trimmed(info.label);
        std::printf("%d\tControlPort,InputPort\t%s\t%s\t%.9g\t%.9g\t%.9g\t%s\t%s\n", index, kSymbols[i],
                    trimmed(info.name).c_str(), static_cast<double>(info.range.min),
                    static_cast<double>(info.range.max),
                    static_cast<double>(static_cast<float>(info.range.lerp(factoryPrograms[0].values[i]))),
                    unitOf(label).c_str(), label.empty() ? "toggled" : "-");
    }
    std::printf("%d\tControlPort,OutputPort\tlevel\tLevel\t0\t1\t-\t-\t-\n", index++);
    std::printf("%d\tControlPort,OutputPort\tgate\tGate\t0\t2\t-\t-\tenumeration,integer\n", index);
}
