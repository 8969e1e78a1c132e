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
#include "SampleReport.h"

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
    bool keepBadOutput = false;
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
        else if (option == "--preroll") c.options.prerollSeconds = numberOption(option, args.valueOf(option), 0, 600);
        else if (option == "--keep-bad-output") c.keepBadOutput = true;
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

std::string badOutput(const std::string& path, const SampleReport& r, int rate, const char* outcome) {
    return path + ": the plug-in gave " + std::to_string(r.nonFinite) + " non-finite samples (NaN or infinite) from " +
           formatTime(r.firstNonFiniteFrame, rate) + " on; " + outcome;
}

} // namespace

int runRender(Arguments& args) {
    const RenderCommand c = parse(args);
    if (sameFile(c.input, c.output)) throw CliError(c.output + " is the input file; choose another output");

    StereoAudio input = readAudioFile(c.input);
    const SampleReport inputReport = inspectSamples(input, input.frames());
    if (input.sampleRate < kLowestRate || input.sampleRate > kHighestRate)
        throw CliError(c.input + " has a sample rate of " + std::to_string(input.sampleRate) +
                       " Hz; the plug-in takes 11050 to 196000 Hz");
    const int format = outputFormatFor(c.output, input.format, c.asFloat, input.sampleRate);

    PluginHost host(c.plugin);
    // They are legal input; a host passes them on as they are.
    if (inputReport.nonFinite)
        std::fprintf(stderr, "orvel: warning: %s has %zu non-finite samples (NaN or infinite) from %s on; %s\n",
                     c.input.c_str(), inputReport.nonFinite,
                     formatTime(inputReport.firstNonFiniteFrame, input.sampleRate).c_str(),
                     host.isOrvel() ? "Orvel takes them as silence" : "the plug-in gets them as they are");
    prepareForRender(host, input, c.options);
    if (!c.preset.empty()) loadPresetFile(host, resolvePreset(c.preset, factoryPresetRoots()));
    if (c.program) selectProgram(host, *c.program);
    applySettings(host, c.settings);

    AtomicFile out(c.output);
    const Rendered rendered = renderThrough(host, input, c.options, true);
    const StereoAudio& audio = rendered.audio;
    const SampleReport result = inspectSamples(audio, input.frames());
    const bool bad = result.nonFinite > 0;
    if (bad && !c.keepBadOutput)
        throw CliError(badOutput(c.output, result, audio.sampleRate, "nothing written (--keep-bad-output keeps it)"));
    writeAudioFile(out, audio, format);
    out.commit();

    const size_t tail = audio.frames() - input.frames();
    std::printf("%s: %zu frames at %d Hz (%.2f s, tail %.2f s%s); input %s; output %s, RMS over the input's span\n",
                c.output.c_str(), audio.frames(), audio.sampleRate,
                static_cast<double>(audio.frames()) / audio.sampleRate, static_cast<double>(tail) / audio.sampleRate,
                rendered.tailCut ? ", cut while still sounding" : "", describeLevels(inputReport).c_str(),
                describeLevels(result).c_str());
    if (result.overFullScale && !keepsOverFullScale(format))
        std::fprintf(stderr,
                     "orvel: warning: %zu samples of %s were beyond full scale and are clipped in the file; "
                     "lower the output level or write with --float\n",
                     result.overFullScale, c.output.c_str());
    if (bad) {
        std::fprintf(stderr, "orvel: %s\n", badOutput(c.output, result, audio.sampleRate, "kept as asked").c_str());
        return kExitFailure;
    }
    return 0;
}
