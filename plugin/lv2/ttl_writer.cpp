// Build-time tool: writes the bundle's manifest.ttl, Hallmere.ttl and presets.ttl into the
// folder given, from the parameter and program tables, so the bundle never disagrees with
// the VST2 build.
//   ttl_writer FOLDER PLUGIN_BINARY UI_BINARY
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "effect/reverb_program.h"
#include "plugin/lv2/port_map.h"

#ifndef HALLMERE_MINOR_VERSION
#define HALLMERE_MINOR_VERSION 0
#define HALLMERE_MICRO_VERSION 0
#endif

namespace {

const char* const kPrefixes =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

// The shortest decimal that reads back as the same float.
std::string number(float value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    std::string s(text, end);
    // A Turtle integer literal reads as an integer; ranges and values are decimals.
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

std::string quoted(const std::string& text) {
    std::string s = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') s += '\\';
        s += c;
    }
    return s + "\"";
}

std::string trimmedProgramName(int program) {
    std::string s(factoryPrograms[program].name);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string presetUri(int program) { return std::string(lv2port::kPluginUri) + ":preset:" + std::to_string(program); }

void audioPort(std::ostream& out, std::uint32_t index, bool input, const char* symbol, const char* name) {
    out << "    a lv2:AudioPort , lv2:" << (input ? "InputPort" : "OutputPort") << " ;\n"
        << "    lv2:index " << index << " ;\n    lv2:symbol \"" << symbol << "\" ;\n    lv2:name \"" << name << "\"\n";
}

void controlPort(std::ostream& out, int parameter) {
    out << "    a lv2:InputPort , lv2:ControlPort ;\n"
        << "    lv2:index " << lv2port::forParameter(parameter) << " ;\n"
        << "    lv2:symbol \"" << lv2port::symbol(parameter) << "\" ;\n"
        << "    lv2:name " << quoted(lv2port::name(parameter)) << " ;\n"
        << "    lv2:default " << number(lv2port::toPort(parameter, factoryPrograms[0].values[parameter])) << " ;\n"
        << "    lv2:minimum " << number(lv2port::toPort(parameter, 0.0f)) << " ;\n"
        << "    lv2:maximum " << number(lv2port::toPort(parameter, 1.0f));
    if (lv2port::isToggle(parameter)) out << " ;\n    lv2:portProperty lv2:toggled";
    if (const char* unit = lv2port::unitUri(parameter)) out << " ;\n    units:unit <" << unit << ">";
    out << "\n";
}

std::string pluginTtl(const std::string& uiBinary) {
    std::ostringstream out;
    out << kPrefixes << "<" << lv2port::kPluginUri << ">\n"
        << "    a lv2:Plugin , lv2:ReverbPlugin ;\n"
        << "    doap:name \"Hallmere\" ;\n"
        << "    lv2:project [ a doap:Project ; doap:name \"Hallmere\" ; doap:maintainer [ foaf:name \"Tovik\" ] ] ;\n"
        << "    lv2:minorVersion " << HALLMERE_MINOR_VERSION << " ;\n"
        << "    lv2:microVersion " << HALLMERE_MICRO_VERSION << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
        << "    ui:ui <" << lv2port::kUiUri << "> ;\n"
        << "    lv2:port [\n";
    audioPort(out, lv2port::kInLeft, true, "in_l", "Left in");
    out << "    ] , [\n";
    audioPort(out, lv2port::kInRight, true, "in_r", "Right in");
    out << "    ] , [\n";
    audioPort(out, lv2port::kOutLeft, false, "out_l", "Left out");
    out << "    ] , [\n";
    audioPort(out, lv2port::kOutRight, false, "out_r", "Right out");
    for (int i = 0; i < kParameterCount; ++i) {
        out << "    ] , [\n";
        controlPort(out, i);
    }
    out << "    ] , [\n"
        << "    a lv2:OutputPort , lv2:ControlPort ;\n"
        << "    lv2:index " << lv2port::kMeter << " ;\n    lv2:symbol \"level\" ;\n    lv2:name \"Level\" ;\n"
        << "    lv2:minimum 0.0 ;\n    lv2:maximum 1.0\n"
        << "    ] , [\n"
        << "    a lv2:OutputPort , lv2:ControlPort ;\n"
        << "    lv2:index " << lv2port::kGate << " ;\n    lv2:symbol \"gate\" ;\n    lv2:name \"Gate\" ;\n"
        << "    lv2:minimum 0 ;\n    lv2:maximum 2 ;\n"
        << "    lv2:portProperty lv2:integer , lv2:enumeration ;\n"
        << "    lv2:scalePoint [ rdfs:label \"Open\" ; rdf:value 0 ] ,\n"
        << "        [ rdfs:label \"Hold\" ; rdf:value 1 ] ,\n"
        << "        [ rdfs:label \"Release\" ; rdf:value 2 ]\n"
        << "    ] .\n\n";

    // The panel: embedded in the host's window, served from the host's idle calls; the
    // meter and the gate reach it as port events; the host's scale factor sizes it.
    out << "<" << lv2port::kUiUri << ">\n"
        << "    a ui:X11UI ;\n"
        << "    ui:binary <" << uiBinary << "> ;\n"
        << "    lv2:requiredFeature ui:parent , ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:resize , ui:noUserResize , ui:touch , opts:options , urid:map ;\n"
        << "    lv2:extensionData ui:idleInterface , opts:interface ;\n"
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    ui:portNotification [ ui:plugin <" << lv2port::kPluginUri << "> ; lv2:symbol \"level\" ;"
        << " ui:notifyType ui:floatProtocol ] ,\n"
        << "        [ ui:plugin <" << lv2port::kPluginUri << "> ; lv2:symbol \"gate\" ;"
        << " ui:notifyType ui:floatProtocol ] .\n";
    return out.str();
}

std::string presetsTtl() {
    std::ostringstream out;
    out << kPrefixes;
    for (int p = 0; p < kProgramCount; ++p) {
        out << "<" << presetUri(p) << ">\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo <" << lv2port::kPluginUri << "> ;\n"
            << "    rdfs:label " << quoted(trimmedProgramName(p)) << " ;\n"
            << "    lv2:port ";
        for (int i = 0; i < kParameterCount; ++i)
            out << (i ? " , " : "") << "[\n        lv2:symbol \"" << lv2port::symbol(i) << "\" ;\n        pset:value "
                << number(lv2port::toPort(i, factoryPrograms[p].values[i])) << "\n    ]";
        out << " .\n\n";
    }
    return out.str();
}

std::string manifestTtl(const std::string& pluginBinary) {
    std::ostringstream out;
    out << kPrefixes << "<" << lv2port::kPluginUri << ">\n"
        << "    a lv2:Plugin ;\n"
        << "    lv2:binary <" << pluginBinary << "> ;\n"
        << "    rdfs:seeAlso <Hallmere.ttl> .\n\n";
    for (int p = 0; p < kProgramCount; ++p)
        out << "<" << presetUri(p) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << lv2port::kPluginUri
            << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    return out.str();
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: ttl_writer FOLDER PLUGIN_BINARY UI_BINARY\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool ok = write(folder + "/manifest.ttl", manifestTtl(argv[2])) &&
                    write(folder + "/Hallmere.ttl", pluginTtl(argv[3])) && write(folder + "/presets.ttl", presetsTtl());
    if (!ok) std::fprintf(stderr, "ttl_writer: could not write into %s\n", folder.c_str());
    return ok ? 0 : 1;
}
