// orvel render INPUT OUTPUT [options]: a sound file through the plug-in.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Arguments.h"
#include "AtomicFile.h"
#include "AudioFile.h"
#include "CliError.h"
#include "FactoryPresets.h"
#include "Commands.h"
#include "ParameterSettings.h"
#include "PluginHost.h"
#include "PluginState.h"
#include "Renderer.h"

namespace {

// The sample rates the plug-in accepts.
constexpr int kLowestRate = 11050;
constexpr int kHighestRate = 196000;

struct RenderCommand {
    std::string input, output, plugin = defaultPluginPath(), preset;
    std::optional<long> program;
    std::vector<ParameterSetting> settings;
    RenderOptions options;
    bool asFloat = false;
};

RenderCommand parse(Arguments& args) {
    RenderCommand c;
    std::vector<std::string> positional;
    while (!args.done()) {
        if (!args.isOption()) {
            positional.push_back(args.take());
            continue;
        }
        const std::string option = args.take();
        if (option == "--preset") c.preset = args.valueOf(option);
        else if (option == "--program") c.program = integerOption(option, args.valueOf(option), 0, 1 << 20);
        else if (option == "--set") c.settings.push_back(parseSetting(args.valueOf(option)));
        else if (option == "--tempo") c.options.tempo = numberOption(option, args.valueOf(option), 1, 999);
        else if (option == "--block") c.options.blockSize = static_cast<int>(integerOption(option, args.valueOf(option), 1, 65536));
        else if (option == "--tail") c.options.tailSeconds = numberOption(option, args.valueOf(option), 0, 600);
        else if (option == "--plugin") c.plugin = args.valueOf(option);
        else if (option == "--float") c.asFloat = true;
        else throw usageError("render: unknown option " + option);
    }
    if (positional.size() != 2) throw usageError("render takes INPUT and OUTPUT");
    if (!c.preset.empty() && c.program) throw usageError("render takes --preset or --program, not both");
    c.input = positional[0];
    c.output = positional[1];
    return c;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

} // namespace

int runRender(Arguments& args) {
    const RenderCommand c = parse(args);
    if (sameFile(c.input, c.output)) throw CliError(c.output + " is the input file; choose another output");

    StereoAudio input = readAudioFile(c.input);
    if (input.sampleRate < kLowestRate || input.sampleRate > kHighestRate)
        throw CliError(c.input + " has a sample rate of " + std::to_string(input.sampleRate) +
                       " Hz; the plug-in takes 11050 to 196000 Hz");
    const int format = outputFormatFor(c.output, input.format, c.asFloat, input.sampleRate);

    PluginHost host(c.plugin);
    prepareForRender(host, input, c.options);
    if (!c.preset.empty()) loadPresetFile(host, resolvePreset(c.preset, factoryPresetRoots()));
    if (c.program) selectProgram(host, *c.program);
    applySettings(host, c.settings);

    AtomicFile out(c.output);
    const StereoAudio rendered = renderThrough(host, input, c.options, true);
    writeAudioFile(out, rendered, format);
    out.commit();

    const Levels in = measureLevels(input), result = measureLevels(rendered);
    std::printf("%s: %zu frames at %d Hz (%.2f s); input peak %s RMS %s dBFS; output peak %s RMS %s dBFS\n",
                c.output.c_str(), rendered.frames(), rendered.sampleRate,
                static_cast<double>(rendered.frames()) / rendered.sampleRate, formatDb(in.peakDb).c_str(),
                formatDb(in.rmsDb).c_str(), formatDb(result.peakDb).c_str(), formatDb(result.rmsDb).c_str());
    return 0;
}
