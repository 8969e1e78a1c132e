// Writes the LV2 bundle's descriptions from the parameter table and the built
// factory presets, so that the LV2 ports and presets never disagree with the
// plug-in:
//   orvel_lv2gen <bundle folder> <preset root> <plug-in binary> <ui binary>
// writes manifest.ttl, orvel.ttl and presets.ttl into the bundle folder.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "editor/ControlInfo.h"
#include "params/ParameterTable.h"
#include "plugin/lv2/Lv2Ports.h"
#include "plugin/lv2/Lv2Uris.h"

namespace fs = std::filesystem;

namespace {

const char* const kPrefixes = "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
                              "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
                              "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
                              "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
                              "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
                              "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                              "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                              "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
                              "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                              "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
                              "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
                              "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
                              "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

struct Preset {
    std::string folder, name;
    std::vector<char> bytes;
    std::map<int32_t, float> values; // host parameter index -> normalised value
};

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string uriPart(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            out += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string base64(const std::vector<char>& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t n = uint32_t(uint8_t(bytes[i])) << 16;
        if (i + 1 < bytes.size()) n |= uint32_t(uint8_t(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size()) n |= uint32_t(uint8_t(bytes[i + 2]));
        out += digits[(n >> 18) & 63];
        out += digits[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? digits[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", double(v));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

// The stored parameter values of a state: the records after the header, up to the -1.
bool readValues(Preset& p, ParameterTable& table) {
    const size_t count = p.bytes.size() / 4;
    auto word = [&](size_t i) {
        uint32_t w = 0;
        for (int b = 3; b >= 0; --b) w = (w << 8) | uint8_t(p.bytes[i * 4 + size_t(b)]);
        return w;
    };
    if (count < 9 || word(4) != 26101977u) return false;
    size_t at = int32_t(word(7)) >= 2 ? 9 : 8;
    while (at + 3 <= count && int32_t(word(at)) != -1) {
        const auto id = int32_t(word(at));
        const auto length = int32_t(word(at + 1));
        if (length < 1) return false;
        const uint32_t bits = word(at + 2);
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (const ParameterRecord* r = table.byRecordId(id); r && r->tag < kNumHostParameters) p.values[r->tag] = v;
        at += 2 + size_t(length);
    }
    return true;
}

std::vector<char> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> sortedEntries(const fs::path& folder, bool folders) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(folder, ec))
        if (folders ? e.is_directory() : (e.is_regular_file() && e.path().extension() == ".zuo")) out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

void writeControlPort(std::ostream& out, const ParameterRecord& r, int32_t positions, float value) {
    out << " , [\n    a lv2:InputPort , lv2:ControlPort ;\n    lv2:index " << lv2port::kFirstParameter + uint32_t(r.tag)
        << " ;\n    lv2:symbol " << quoted(r.name) << " ;\n    lv2:name " << quoted(r.name) << " ;\n";
    if (positions < 2) {
        out << "    lv2:default " << number(value) << " ;\n    lv2:minimum 0.0 ;\n    lv2:maximum 1.0\n  ]";
        return;
    }
    out << "    lv2:default " << lv2port::stateOf(r.tag, value, positions) << " ;\n    lv2:minimum 0 ;\n    lv2:maximum "
        << positions - 1 << " ;\n";
    if (positions == 2) {
        out << "    lv2:portProperty lv2:toggled\n  ]";
        return;
    }
    out << "    lv2:portProperty lv2:integer , lv2:enumeration";
    for (int32_t s = 0; s < positions; ++s) {
        const char* word = controlStateWord(r.tag, s);
        out << " ;\n    lv2:scalePoint [ rdfs:label " << quoted(word ? word : std::to_string(s)) << " ; rdf:value " << s
            << " ]";
    }
    out << "\n  ]";
}

void writeAudioPort(std::ostream& out, uint32_t index, bool input, const char* symbol, const char* name) {
    out << (index ? " , [\n" : "  [\n") << "    a lv2:AudioPort , " << (input ? "lv2:InputPort" : "lv2:OutputPort")
        << " ;\n    lv2:index " << index << " ;\n    lv2:symbol " << quoted(symbol) << " ;\n    lv2:name "
        << quoted(name) << "\n  ]";
}

bool writeAtomic(const fs::path& path, const std::string& text) {
    const fs::path part = path.string() + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(part, path, ec);
    return !ec;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: orvel_lv2gen <bundle folder> <preset root> <plug-in binary> <ui binary>\n";
        return 2;
    }
    const fs::path bundle = argv[1], presetRoot = argv[2];
    const std::string binary = argv[3], uiBinary = argv[4];
    std::array<float, kMaxTag> cells{};
    ParameterTable table(cells.data());

    // Port defaults: the default preset's values, else the table's initial ones.
    Preset defaults;
    defaults.bytes = readFile(presetRoot / "default.zuo");
    if (!readValues(defaults, table)) defaults.values.clear();
    std::vector<Preset> presets;
    for (const fs::path& folder : sortedEntries(presetRoot, true))
        for (const fs::path& file : sortedEntries(folder, false)) {
            Preset p{folder.filename().string(), file.stem().string(), readFile(file), {}};
            if (readValues(p, table)) presets.push_back(std::move(p));
        }

    const std::string plugin = "<" ORVEL_LV2_URI ">";
    auto presetUri = [](const Preset& p) { return "<" ORVEL_LV2_URI "#preset-" + uriPart(p.folder) + "-" + uriPart(p.name) + ">"; };
    auto bankUri = [](const std::string& folder) { return "<" ORVEL_LV2_URI "#bank-" + uriPart(folder) + ">"; };

    std::ostringstream manifest;
    manifest << kPrefixes << plugin << "\n  a lv2:Plugin ;\n  lv2:binary <" << binary
             << "> ;\n  rdfs:seeAlso <orvel.ttl> .\n\n<" ORVEL_LV2_UI_URI ">\n  a ui:X11UI ;\n  ui:binary <" << uiBinary
             << "> ;\n  rdfs:seeAlso <orvel.ttl> .\n";
    for (const Preset& p : presets)
        manifest << "\n" << presetUri(p) << "\n  a pset:Preset ;\n  lv2:appliesTo " << plugin
                 << " ;\n  rdfs:seeAlso <presets.ttl> .\n";

    std::ostringstream ttl;
    ttl << kPrefixes << plugin
        << "\n  a lv2:Plugin , lv2:DynamicsPlugin ;\n  doap:name \"Orvel\" ;\n"
           "  lv2:project <" ORVEL_LV2_URI "#project> ;\n  lv2:minorVersion 0 ;\n  lv2:microVersion 0 ;\n"
           "  lv2:requiredFeature urid:map ;\n  lv2:optionalFeature lv2:hardRTCapable ;\n"
           "  lv2:extensionData state:interface ;\n  ui:ui <" ORVEL_LV2_UI_URI "> ;\n  lv2:port\n";
    writeAudioPort(ttl, lv2port::kInLeft, true, "in_left", "Input left");
    writeAudioPort(ttl, lv2port::kInRight, true, "in_right", "Input right");
    writeAudioPort(ttl, lv2port::kOutLeft, false, "out_left", "Output left");
    writeAudioPort(ttl, lv2port::kOutRight, false, "out_right", "Output right");
    ttl << " , [\n    a lv2:InputPort , atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
           "    atom:supports midi:MidiEvent , time:Position ;\n    lv2:designation lv2:control ;\n    lv2:index "
        << lv2port::kControl << " ;\n    lv2:symbol \"control\" ;\n    lv2:name \"Control\"\n  ]";
    std::vector<int32_t> positions(kNumHostParameters, 0);
    for (int32_t i = 0; i < kNumHostParameters; ++i) {
        const ParameterRecord& r = *table.byHostIndex(i);
        positions[size_t(i)] = r.style == kStyleSwitch ? r.positions : 0;
        const auto found = defaults.values.find(i);
        const float value = found != defaults.values.end() ? found->second : ParameterTable::initialValue(i);
        writeControlPort(ttl, r, positions[size_t(i)], value);
    }
    ttl << " .\n\n<" ORVEL_LV2_URI "#project>\n  a doap:Project ;\n  doap:name \"Orvel\" ;\n"
           "  doap:maintainer [ foaf:name \"Tamblor\" ] .\n";
    ttl << "\n<" ORVEL_LV2_CHUNK_URI ">\n  a rdf:Property ;\n  rdfs:label \"state words\" ;\n"
           "  rdfs:comment \"The plug-in's whole state: the same words as its VST chunk.\" ;\n  rdfs:range atom:Chunk .\n";
    ttl << "\n<" ORVEL_LV2_UI_URI ">\n  a ui:X11UI ;\n"
           "  lv2:requiredFeature ui:parent , <http://lv2plug.in/ns/ext/instance-access> , ui:idleInterface ;\n"
           "  lv2:optionalFeature ui:resize , ui:touch ;\n  lv2:extensionData ui:idleInterface .\n";

    std::ostringstream pset;
    pset << kPrefixes;
    std::string lastFolder;
    for (const Preset& p : presets) {
        if (p.folder != lastFolder)
            pset << bankUri(p.folder) << "\n  a pset:Bank ;\n  rdfs:label " << quoted(p.folder) << " .\n\n";
        lastFolder = p.folder;
        pset << presetUri(p) << "\n  a pset:Preset ;\n  lv2:appliesTo " << plugin << " ;\n  rdfs:label " << quoted(p.name)
             << " ;\n  pset:bank " << bankUri(p.folder) << " ;\n  lv2:port";
        const char* sep = " ";
        for (const auto& [index, value] : p.values) {
            pset << sep << "[\n    lv2:symbol " << quoted(table.byHostIndex(index)->name) << " ;\n    pset:value "
                 << number(lv2port::portValueOf(index, value, positions[size_t(index)])) << "\n  ]";
            sep = " , ";
        }
        pset << " ;\n  state:state [\n    <" ORVEL_LV2_CHUNK_URI "> \"" << base64(p.bytes)
             << "\"^^xsd:base64Binary\n  ] .\n\n";
    }

    std::error_code ec;
    fs::create_directories(bundle, ec);
    if (!writeAtomic(bundle / "manifest.ttl", manifest.str()) || !writeAtomic(bundle / "orvel.ttl", ttl.str()) ||
        !writeAtomic(bundle / "presets.ttl", pset.str())) {
        std::cerr << "orvel_lv2gen: cannot write into " << bundle << "\n";
        return 1;
    }
    return 0;
}
