// orvel info [--preset FILE.zuo|NAME] [--plugin PATH]: what the plug-in tells a
// host about itself, in a preset's state when one is given.
#include <array>
#include <cstdio>
#include <string>

#include "Arguments.h"
#include "CliError.h"
#include "Commands.h"
#include "PluginHost.h"
#include "FactoryPresets.h"
#include "OrvelReadouts.h"
#include "PluginState.h"

namespace {

// The capability questions hosts commonly ask.
constexpr const char* kCanDo[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents",    "sendVstMidiEvent",
    "receiveVstTimeInfo", "hasAboutScreen",    "offline",          "bypass",
    "midiProgramNames", "plugAsChannelInsert", "plugAsSend",       "mixDryWet",
    "noRealTime",       "1in1out",             "1in2out",          "2in2out",
};

std::string fourChars(VstInt32 id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
        s += (c >= 0x20 && c < 0x7f) ? c : '.';
    }
    return s;
}

std::string flagNames(VstInt32 flags) {
    static const std::pair<VstInt32, const char*> kNames[] = {
        {effFlagsHasEditor, "has editor"},      {effFlagsCanReplacing, "can replace"},
        {effFlagsProgramChunks, "program chunks"}, {effFlagsIsSynth, "synth"},
        {effFlagsNoSoundInStop, "no sound in stop"}, {effFlagsCanDoubleReplacing, "can replace double"},
    };
    std::string s;
    for (const auto& [bit, name] : kNames)
        if (flags & bit) s += (s.empty() ? "" : ", ") + std::string(name);
    return s;
}

void printParameters(PluginHost& host) {
    const VstInt32 count = host.effect().numParams;
    std::array<std::string, kOrvelHostParameters> units;
    if (host.isOrvel() && count == kOrvelHostParameters) {
        std::array<float, kOrvelHostParameters> values{};
        for (VstInt32 i = 0; i < count; ++i) values[size_t(i)] = host.getParameter(i);
        units = orvelReadouts(values);
    }
    std::printf("parameters (%d):\n", count);
    for (VstInt32 i = 0; i < count; ++i) {
        VstParameterProperties properties{};
        const bool hasProperties = host.dispatch(effGetParameterProperties, i, 0, &properties) != 0;
        std::string kind;
        if (hasProperties && (properties.flags & kVstParameterIsSwitch)) {
            kind = "  switch";
        } else if (hasProperties && (properties.flags & kVstParameterUsesFloatStep) && properties.stepFloat > 0.0f) {
            char steps[48];
            std::snprintf(steps, sizeof(steps), "  steps of %g", static_cast<double>(properties.stepFloat));
            kind = steps;
        }
        const std::string unit = i < kOrvelHostParameters ? units[size_t(i)] : "";
        std::printf("  %3d  %-18s %9.6f  \"%s\"%s%s%s\n", i, host.text(effGetParamName, i).c_str(),
                    static_cast<double>(host.getParameter(i)), host.text(effGetParamDisplay, i).c_str(),
                    unit.empty() ? "" : "  ", unit.c_str(), kind.c_str());
    }
}

void printPrograms(PluginHost& host) {
    const VstInt32 count = host.effect().numPrograms;
    const VstIntPtr current = host.dispatch(effGetProgram);
    std::printf("programs (%d), current %ld \"%s\":\n", count, static_cast<long>(current),
                host.text(effGetProgramName).c_str());
    int named = 0;
    for (VstInt32 i = 0; i < count; ++i) {
        char name[256] = {};
        host.dispatch(effGetProgramNameIndexed, i, 0, name);
        name[sizeof(name) - 1] = 0;
        const std::string text = name;
        if (text.empty() || (host.isOrvel() && text == "empty")) continue;
        std::printf("  %3d  %s\n", i, text.c_str());
        ++named;
    }
    if (named < count) std::printf("  (%d of %d without a preset)\n", count - named, count);
}

} // namespace

int runInfo(Arguments& args) {
    std::string plugin = defaultPluginPath(), preset;
    while (!args.done()) {
        const std::string option = args.take();
        if (option == "--plugin") plugin = args.valueOf(option);
        else if (option == "--preset") preset = args.valueOf(option);
        else throw usageError("info: unknown argument " + option);
    }
    PluginHost host(plugin);
    if (!preset.empty()) loadPresetFile(host, resolvePreset(preset, factoryPresetRoots()));
    AEffect& e = host.effect();
    std::printf("plug-in:       %s\n", plugin.c_str());
    std::printf("name:          %s\n", host.text(effGetEffectName).c_str());
    std::printf("vendor:        %s\n", host.text(effGetVendorString).c_str());
    std::printf("product:       %s\n", host.text(effGetProductString).c_str());
    std::printf("version:       %ld (effect version %d)\n", static_cast<long>(host.dispatch(effGetVendorVersion)),
                e.version);
    std::printf("VST version:   %ld\n", static_cast<long>(host.dispatch(effGetVstVersion)));
    std::printf("unique ID:     0x%08X '%s'\n", static_cast<unsigned>(e.uniqueID), fourChars(e.uniqueID).c_str());
    std::printf("category:      %ld\n", static_cast<long>(host.dispatch(effGetPlugCategory)));
    std::printf("audio:         %d in, %d out\n", e.numInputs, e.numOutputs);
    std::printf("MIDI:          %ld in, %ld out\n", static_cast<long>(host.dispatch(effGetNumMidiInputChannels)),
                static_cast<long>(host.dispatch(effGetNumMidiOutputChannels)));
    std::printf("flags:         %d (%s)\n", e.flags, flagNames(e.flags).c_str());
    std::printf("latency:       %d samples, tail %ld samples\n", e.initialDelay,
                static_cast<long>(host.dispatch(effGetTailSize)));
    if (e.flags & effFlagsHasEditor) {
        ERect* rect = nullptr;
        if (host.dispatch(effEditGetRect, 0, 0, &rect) && rect)
            std::printf("editor:        %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    }
    std::printf("can do:\n");
    for (const char* what : kCanDo)
        std::printf("  %-20s %ld\n", what,
                    static_cast<long>(host.dispatch(effCanDo, 0, 0, const_cast<char*>(what))));
    printParameters(host);
    printPrograms(host);
    return 0;
}
