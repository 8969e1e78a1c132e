// orvel bench [options]: how much of a core a plug-in takes. Stereo noise
// goes through the plug-in's own processing call in host-sized blocks, the
// same path for Orvel and any other VST 2.4 plug-in, and the median of
// several timed runs is reported.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CliError.h"
#include "Commands.h"
#include "FactoryPresets.h"
#include "ParameterSettings.h"
#include "PluginHost.h"
#include "PluginState.h"

namespace {

constexpr int kRate = 44100;
constexpr int kRuns = 5;
constexpr double kWarmUpSeconds = 1.0;

struct BenchCommand {
    std::string plugin = defaultPluginPath(), preset;
    std::vector<ParameterSetting> settings;
    double seconds = 10.0;
    int block = 512;
};

BenchCommand parse(Arguments& args) {
    BenchCommand c;
    while (!args.done()) {
        const std::string option = args.take();
        if (option == "--plugin") c.plugin = args.valueOf(option);
        else if (option == "--preset") c.preset = args.valueOf(option);
        else if (option == "--set") c.settings.push_back(parseSetting(args.valueOf(option)));
        else if (option == "--seconds") c.seconds = numberOption(option, args.valueOf(option), 0.1, 600);
        else if (option == "--block") c.block = static_cast<int>(integerOption(option, args.valueOf(option), 1, 65536));
        else throw usageError("bench: unknown argument " + option);
    }
    return c;
}

// White noise at about -10 dBFS, different on the two channels.
std::vector<float> noise(size_t frames, uint32_t seed) {
    std::vector<float> samples(frames);
    for (float& s : samples) {
        seed = seed * 1664525u + 1013904223u;
        s = 0.6f * (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
    }
    return samples;
}

class Runner {
public:
    Runner(PluginHost& host, int block, size_t frames) : host_(host), block_(static_cast<size_t>(block)) {
        const AEffect& e = host.effect();
        if (e.numOutputs < 1) throw CliError(host.path() + " has no audio outputs");
        noise_[0] = noise(frames, 1);
        noise_[1] = noise(frames, 2);
        inputs_.resize(static_cast<size_t>(std::max(e.numInputs, 0)));
        outputs_.assign(static_cast<size_t>(e.numOutputs), std::vector<float>(block_));
        for (auto& o : outputs_) outPtr_.push_back(o.data());
    }

    // Seconds of computing for `frames` of the noise.
    double run(size_t frames) {
        const auto start = std::chrono::steady_clock::now();
        for (size_t at = 0; at < frames; at += block_) {
            const size_t n = std::min(block_, frames - at);
            for (size_t c = 0; c < inputs_.size(); ++c) inputs_[c] = noise_[c % 2].data() + at % noise_[0].size();
            host_.process(inputs_.data(), outPtr_.data(), static_cast<int>(n));
        }
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

private:
    PluginHost& host_;
    size_t block_;
    std::vector<float> noise_[2];
    std::vector<float*> inputs_, outPtr_;
    std::vector<std::vector<float>> outputs_;
};

} // namespace

int runBench(Arguments& args) {
    const BenchCommand c = parse(args);
    PluginHost host(c.plugin);
    host.configure(kRate, c.block, 120.0);
    if (!c.preset.empty()) loadPresetFile(host, resolvePreset(c.preset, factoryPresetRoots()));
    applySettings(host, c.settings);

    // Whole blocks of noise, so that no block reads past the end.
    const size_t block = static_cast<size_t>(c.block);
    const size_t frames = std::max<size_t>(block, static_cast<size_t>(c.seconds * kRate) / block * block);
    Runner runner(host, c.block, frames);
    host.start();
    runner.run(std::min(frames, static_cast<size_t>(kWarmUpSeconds * kRate) / block * block + block));
    std::vector<double> nsPerFrame;
    for (int i = 0; i < kRuns; ++i) nsPerFrame.push_back(runner.run(frames) * 1e9 / static_cast<double>(frames));
    host.stop();
    std::vector<double> sorted = nsPerFrame;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[kRuns / 2];

    const std::string preset = c.preset.empty() ? "" : ", preset " + c.preset;
    std::printf("%s (%s%s): %d Hz, blocks of %d, %.1f s of stereo noise, median of %d runs\n", c.plugin.c_str(),
                host.text(effGetEffectName).c_str(), preset.c_str(), kRate, c.block,
                static_cast<double>(frames) / kRate, kRuns);
    std::printf("%.1f ns per frame, %.1f x real time (runs:", median, 1e9 / (median * kRate));
    for (double v : nsPerFrame) std::printf(" %.1f", v);
    std::printf(")\n");
    return 0;
}
