// Writes the musicians' guide (docs/guide.md) from the parameter table and the factory
// programs, so that every range, unit, default and program setting in it is the one the
// plug-in uses. Only the words about what each control and program does to the sound are
// written here, keyed by parameter index and program name.
//
//   hallmere_guide OUT.md
#include "effect/parameter_table.h"
#include "effect/reverb_program.h"
#include "hallmere_version.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

namespace {

struct Words {
    ParameterIndex index;
    const char* text;
};

const Words kParameterWords[] = {
    {kPan, "Balance of the reverb between the left and right outputs. The dry signal is not panned."},
    {kOut, "Level of the reverb (wet) signal. Raise it for a wetter mix; it does not change the dry signal."},
    {kT60,
     "Decay time: how long the reverb tail takes to fall by 60 dB. Short values sound like small, "
     "furnished rooms; long values like halls and churches."},
    {kDamping,
     "Frequency above which the tail loses its highs faster than its lows. Low values give a "
     "dark, soft tail (curtains, audience); high values a bright, hard one (glass, stone)."},
    {kDensity,
     "Diffusion of the sound before the tail builds up. Low values let single echoes and "
     "flutter through; high values blur them into a smooth wash."},
    {kEarlyDelay,
     "Time from the dry sound to the first reflection. Longer delays make the room seem "
     "bigger and keep the reverb from crowding the attack of the source."},
    {kHighCut,
     "Low-pass filter on the signal that enters the reverb. Lower it to keep cymbals and "
     "sibilants out of the tail."},
    {kLowCut,
     "High-pass filter on the signal that enters the reverb. Raise it to keep bass and kick "
     "drum out of the tail, so the low end stays clear."},
    {kDryOut,
     "When on, the unprocessed input is added to the output (use the plug-in as an insert). "
     "Leave it off on an effect send, where the mixer supplies the dry signal."},
    {kSensitivity,
     "Gate: how quiet the input may get before the reverb is cut. At 100% the gate is off; "
     "lower values close it sooner, for the classic gated-drum sound."},
    {kHold,
     "Gate: how long the reverb stays open after the input has fallen below the gate's threshold, "
     "before it is cut."},
    {kRoomSize,
     "Size of the simulated room: scales the lengths of the reverb's delay lines. Small rooms "
     "sound dense and boxy, large ones spacious, with audible distance between reflections."},
    {kEarlyLevel,
     "Level of the early reflection: the first, distinct echo from the nearest wall. More of it "
     "puts the source further into the room."},
};
static_assert(sizeof kParameterWords / sizeof kParameterWords[0] == kParameterCount, "one text per parameter");

struct ProgramWords {
    const char* name;
    const char* text;
};

const ProgramWords kProgramWords[] = {
    {"Default",
     "A medium room with the dry signal off, for an effect send: the starting point for your own "
     "settings."},
    {"Default hall", "The default room with full diffusion and the dry signal on, ready as a channel insert."},
    {"Huge Hall",
     "The largest room with a long, moderately damped tail and a late first reflection: "
     "concert halls, pads, slow ballads."},
    {"Room",
     "A small, bright-ish room with a short decay and a strong early reflection: natural ambience "
     "for vocals and acoustic instruments."},
    {"Full mud",
     "Everything at its longest: the largest room and the longest decay. Washes and drones "
     "rather than a natural space."},
    {"Gated reverb", "A dense, medium decay cut by the gate shortly after each hit: the 1980s drum sound."},
    {"Loud neighbours",
     "Heard through the wall: all but the bass is cut before the reverb, with a strong "
     "early reflection and no dry signal."},
    {"Bathroom",
     "A very small room: a quick first reflection, a short decay and a dark, heavily damped "
     "tail."},
};

std::string trimmed(const char* text) {
    std::string s(text);
    const auto end = s.find_last_not_of(" \t");
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

// What the panel shows for a value; the switch shows off or on.
std::string shown(int index, float value) {
    if (index == kDryOut) {
        return value >= 0.5f ? "on" : "off";
    }
    char text[64];
    formatPanelDisplay(index, value, text, sizeof text);
    return text;
}

std::string range(int index) {
    const ParameterInfo& p = parameterTable[index];
    if (index == kDryOut) {
        return "off or on";
    }
    const std::string unit = trimmed(p.label);
    return number(p.range.min) + " to " + number(p.range.max) + (unit.empty() ? "" : " " + unit);
}

const char* programWords(const std::string& name) {
    for (const ProgramWords& w : kProgramWords) {
        if (name == w.name) return w.text;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hallmere_guide OUT.md\n");
        return 2;
    }
    std::string doc;
    doc += "# Hallmere " HALLMERE_VERSION_TEXT ": a guide for musicians\n\n";
    doc +=
        "<!-- Generated by tools/guide/make_guide.cpp from the plug-in's parameter and program tables:\n"
        "     edit those and run `cmake --build build/native --target guide`, not this file. -->\n\n";
    doc +=
        "Hallmere is a stereo reverb. The signal entering it is band-limited by a high and a low cut,\n"
        "diffused, sent to one early reflection and to a tail of four damped delay lines; the result is\n"
        "panned, gated and, if you like, mixed with the dry input. Hosts show each control as a value\n"
        "from 0 to 1; the panel and this guide show the real units.\n\n";

    doc += "## Controls\n\n";
    doc += "| # | Control | Range | Default | What it does to the sound |\n";
    doc += "|---|---|---|---|---|\n";
    for (int i = 0; i < kParameterCount; ++i) {
        doc += "| " + std::to_string(i) + " | " + trimmed(parameterTable[i].name) + " | " + range(i) + " | " +
               shown(i, factoryPrograms[0].values[i]) + " | " + kParameterWords[i].text + " |\n";
    }
    doc +=
        "\nThe defaults are those of the first program. The panel's Pan display reads L100 (left), C\n"
        "(centre) or R100 (right).\n\n";

    doc += "## Programs\n\n";
    doc += "Eight factory programs; choose one in your host's program (preset) list. Their settings:\n\n";
    doc += "| Program |";
    std::string rule = "|---|";
    for (int i = 0; i < kParameterCount; ++i) {
        doc += " " + trimmed(parameterTable[i].name) + " |";
        rule += "---|";
    }
    doc += "\n" + rule + "\n";
    for (int p = 0; p < kProgramCount; ++p) {
        doc += "| " + std::to_string(p) + " " + trimmed(factoryPrograms[p].name) + " |";
        for (int i = 0; i < kParameterCount; ++i) {
            doc += " " + shown(i, factoryPrograms[p].values[i]) + " |";
        }
        doc += "\n";
    }
    doc +=
        "\nEach picture shows how the energy of the program's reverb dies away after a single click\n"
        "(its energy-decay curve, dry signal switched off): the steeper the line, the shorter the\n"
        "tail; the dashed line marks -60 dB.\n\n";
    for (int p = 0; p < kProgramCount; ++p) {
        const std::string name = trimmed(factoryPrograms[p].name);
        const char* words = programWords(name);
        if (words == nullptr) {
            std::fprintf(stderr, "hallmere_guide: no words for program \"%s\"\n", name.c_str());
            return 1;
        }
        doc += "### " + std::to_string(p) + " " + name + "\n\n" + words + " T60 " +
               shown(kT60, factoryPrograms[p].values[kT60]) + ", room size " +
               shown(kRoomSize, factoryPrograms[p].values[kRoomSize]) + ".\n\n";
        doc += "![Energy decay of " + name + "](decay/program-" + std::to_string(p) + ".png)\n\n";
    }
    doc.pop_back();

    std::ofstream out(argv[1], std::ios::binary);
    out << doc;
    if (!out.flush()) {
        std::fprintf(stderr, "hallmere_guide: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
