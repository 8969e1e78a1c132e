// orvel preset dump FILE.zuo | orvel preset build TEXT OUT.zuo [--plugin PATH]
//
// build makes the preset with the plug-in itself: every stored parameter is
// applied by key through setParameter (keys the text leaves out get their
// initial value, so the result does not depend on the user's default
// preset), effGetChunk gives the state, and the items the plug-in cannot be
// told through the host interface (name, tempo, controller map, program
// position) are written into that state before it is saved.
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "Arguments.h"
#include "AtomicFile.h"
#include "CliError.h"
#include "Commands.h"
#include "OrvelParameters.h"
#include "PluginHost.h"
#include "PluginState.h"
#include "PresetText.h"
#include "StateLayout.h"

namespace {

PresetState readPreset(const std::string& path) {
    try {
        return parseStateLayout(readWholeFile(path));
    } catch (const CliError& e) {
        // readWholeFile names the file already.
        const std::string message = e.what();
        if (message.rfind("cannot read", 0) == 0) throw;
        throw CliError(path + " is not an Orvel preset: " + message);
    }
}

std::string readText(const std::string& path) {
    if (path == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
    const std::vector<uint8_t> bytes = readWholeFile(path);
    return std::string(bytes.begin(), bytes.end());
}

int dump(Arguments& args) {
    if (args.done()) throw usageError("preset dump takes FILE.zuo");
    const std::string path = args.take();
    if (!args.done()) throw usageError("preset dump takes one file");
    std::fputs(formatPresetText(readPreset(path)).c_str(), stdout);
    return 0;
}

PresetState stateFromPlugin(PluginHost& host, const PresetText& text) {
    for (const ParameterRecord* r : orvel_parameters::stored()) {
        float value = orvel_parameters::initialValue(*r);
        for (const auto& [record, v] : text.values)
            if (record == r) value = v;
        host.setParameter(r->tag, value);
    }
    const std::vector<uint8_t> chunk = host.chunk();
    if (chunk.empty()) throw CliError(host.path() + " gave no state (effGetChunk returned nothing)");
    try {
        return parseStateLayout(chunk);
    } catch (const CliError& e) {
        throw CliError(host.path() + " gave a state this tool cannot read: " + e.what());
    }
}

int build(Arguments& args) {
    std::vector<std::string> positional;
    std::string plugin = defaultPluginPath();
    while (!args.done()) {
        if (!args.isOption() || args.peek() == "-") {
            positional.push_back(args.take());
            continue;
        }
        const std::string option = args.take();
        if (option == "--plugin") plugin = args.valueOf(option);
        else throw usageError("preset build: unknown option " + option);
    }
    if (positional.size() != 2) throw usageError("preset build takes TEXT and OUT.zuo");
    const std::string& textPath = positional[0];
    const std::string& outPath = positional[1];

    const PresetText text = parsePresetText(readText(textPath), textPath == "-" ? "<stdin>" : textPath);
    AtomicFile out(outPath);
    PluginHost host(plugin);
    if (!host.isOrvel()) throw CliError(plugin + " is not Orvel; presets are built with Orvel");
    PresetState state = stateFromPlugin(host, text);
    state.name = text.name;
    if (text.tempo) state.tempo = *text.tempo;
    state.program = text.program.value_or(0);
    state.folder = text.folder.value_or(0);
    state.ccMap = text.ccMap;
    state.extraAssignments = text.extraAssignments;

    out.write(writeStateLayout(state));
    out.commit();
    return 0;
}

} // namespace

int runPreset(Arguments& args) {
    if (args.done()) throw usageError("preset takes dump or build");
    const std::string what = args.take();
    if (what == "dump") return dump(args);
    if (what == "build") return build(args);
    throw usageError("preset takes dump or build, not " + what);
}
