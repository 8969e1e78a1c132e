// orvel demo [OUTDIR] [--presets DIR] [--plugin PATH]: renders a phrase made
// in code through the default preset and three factory presets, writes the
// WAV files and prints the levels.
#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Arguments.h"
#include "AtomicFile.h"
#include "AudioFile.h"
#include "CliError.h"
#include "Commands.h"
#include "DemoPhrase.h"
#include "FactoryPresets.h"
#include "ParameterSettings.h"
#include "PluginHost.h"
#include "PluginState.h"
#include "Renderer.h"
#include "SampleReport.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t kFactoryPresetsShown = 3;
constexpr int kDemoFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_24;

struct DemoPreset {
    std::string name;
    std::string file;                       // a .zuo preset, or
    std::vector<ParameterSetting> settings; // changes to the plug-in's initial state
};

// Used in place of factory presets that are not there: one each for the
// reverb, the delay and the LFO-swept filter.
const std::vector<DemoPreset>& standIns() {
    static const std::vector<DemoPreset> presets = {
        {"room reverb", "", {{"fxwitch", 1}, {"reverb_power", 1}, {"rvb_level", 0.8f}, {"rvb_room", 0.7f},
                             {"rvb_decay", 0.7f}, {"fx_return", 0.8f}}},
        {"tape echo", "", {{"fxwitch", 1}, {"delay_power", 1}, {"dly_level", 0.7f}, {"dly_time", 0.25f},
                           {"dly_feedback", 0.5f}, {"fx_return", 0.8f}}},
        {"filter sweep", "", {{"fxwitch", 1}, {"filter_sig_flow", 1}, {"filter_type", 1}, {"filter_cutoff", 0.45f},
                              {"filter_reso", 0.5f}, {"lfo_power", 1}, {"lfo_amount", 0.5f}, {"lfo_speed", 0.2f},
                              {"lfotarget", 0}}},
    };
    return presets;
}

// One factory preset each for the reverb, the delay and the filter; others
// (then the stand-ins) take the place of any that is not there.
constexpr const char* kShownPresets[kFactoryPresetsShown] = {"Vocal Plate", "Tape Echo", "Slow Filter Sweep"};

std::vector<DemoPreset> choosePresets(const std::string& presetDir) {
    const std::vector<FactoryPreset> all = listPresets(presetDir);
    std::vector<DemoPreset> chosen{{"default", "", {}}};
    std::vector<const FactoryPreset*> banks;
    for (const FactoryPreset& p : all) {
        if (p.folder.empty() && p.name == "default") chosen.front().file = p.path;
        else if (!p.folder.empty()) banks.push_back(&p);
    }
    std::vector<const FactoryPreset*> picked;
    for (const char* name : kShownPresets)
        for (const FactoryPreset* p : banks)
            if (p->name == name) {
                picked.push_back(p);
                break;
            }
    for (const FactoryPreset* p : banks)
        if (picked.size() < kFactoryPresetsShown && std::find(picked.begin(), picked.end(), p) == picked.end())
            picked.push_back(p);
    for (const FactoryPreset* p : picked) chosen.push_back({p->name, p->path, {}});
    for (size_t i = chosen.size() - 1; i < kFactoryPresetsShown; ++i) chosen.push_back(standIns()[i]);
    return chosen;
}

std::string fileNameFor(const std::string& presetName) {
    std::string slug;
    for (unsigned char c : presetName) {
        if (std::isalnum(c)) slug += static_cast<char>(std::tolower(c));
        else if (!slug.empty() && slug.back() != '-') slug += '-';
    }
    while (!slug.empty() && slug.back() == '-') slug.pop_back();
    return "demo-" + (slug.empty() ? std::string("preset") : slug) + ".wav";
}

void writeWav(const fs::path& path, const StereoAudio& audio) {
    AtomicFile out(path.string());
    writeAudioFile(out, audio, kDemoFormat);
    out.commit();
}

} // namespace

int runDemo(Arguments& args) {
    // The build's factory presets, else the installed ones.
    const std::vector<std::string> roots = factoryPresetRoots();
    std::string outDir = "orvel-demo", presetDir = roots.empty() ? ORVEL_FACTORY_PRESET_DIR : roots.front();
    std::string plugin = defaultPluginPath();
    bool haveOutDir = false;
    while (!args.done()) {
        if (!args.isOption()) {
            if (haveOutDir) throw usageError("demo takes one OUTDIR");
            outDir = args.take();
            haveOutDir = true;
            continue;
        }
        const std::string option = args.take();
        if (option == "--presets") presetDir = args.valueOf(option);
        else if (option == "--plugin") plugin = args.valueOf(option);
        else throw usageError("demo: unknown option " + option);
    }
    std::error_code ec;
    fs::create_directories(outDir, ec);
    if (!fs::is_directory(outDir, ec)) throw CliError("cannot make the folder " + outDir);

    const StereoAudio input = makeDemoPhrase();
    const RenderOptions options;
    writeWav(fs::path(outDir) / "demo-input.wav", input);
    const SampleReport in = inspectSamples(input, input.frames());

    std::printf("%-22s %10s %10s %10s %10s  %s\n", "preset", "in peak", "in RMS", "out peak", "out RMS", "file");
    for (const DemoPreset& preset : choosePresets(presetDir)) {
        PluginHost host(plugin); // a fresh instance for each, as a new insert in a host
        prepareForRender(host, input, options);
        if (!preset.file.empty()) loadPresetFile(host, preset.file);
        applySettings(host, preset.settings);
        const StereoAudio output = renderThrough(host, input, options).audio;
        const fs::path file = fs::path(outDir) / fileNameFor(preset.name);
        writeWav(file, output);
        const SampleReport out = inspectSamples(output, input.frames());
        std::printf("%-22s %7s dB %7s dB %7s dB %7s dB  %s\n", preset.name.c_str(), formatDb(in.peakDb).c_str(),
                    formatDb(in.rmsDb).c_str(), formatDb(out.peakDb).c_str(), formatDb(out.rmsDb).c_str(), file.string().c_str());
    }
    return 0;
}
