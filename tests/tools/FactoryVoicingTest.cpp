// Every factory preset measured as a musician would hear it: speech, a drum
// loop and sustained chords, each peaking at -6 dBFS, rendered through the
// plug-in by the orvel command after it has settled.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "tools/BuiltPresets.h"
#include "tools/OrvelCommand.h"

namespace {

constexpr int kRate = 44100;
constexpr size_t kFrames = 6 * kRate;
constexpr double kStep = 0.25; // eighth notes at 120 BPM: the syllable and drum grid

double db(double ratio) { return 20.0 * std::log10(std::max(ratio, 1e-10)); }

struct Noise {
    uint32_t state = 12345;
    double next() { return (state = state * 1664525u + 1013904223u) / 2147483648.0 - 1.0; }
};

std::vector<float> peakAt(std::vector<double> v, double peak) {
    double top = 0.0;
    for (double x : v) top = std::max(top, std::fabs(x));
    std::vector<float> out(v.size());
    for (size_t i = 0; i < v.size(); ++i) out[i] = static_cast<float>(v[i] * peak / top);
    return out;
}

// A gliding pulse train through three vowel formants, four syllables a second, a pause every sixth.
std::vector<double> speech() {
    const double vowels[4][3] = {{730, 1090, 2440}, {270, 2290, 3010}, {530, 1840, 2480}, {570, 840, 2410}};
    std::vector<double> v(kFrames);
    const double r = std::exp(-M_PI * 90.0 / kRate); // 90 Hz wide formants
    double phase = 0.0, y[3][2] = {};
    for (size_t i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kRate, u = std::fmod(t / kStep, 1.0);
        const int syllable = static_cast<int>(t / kStep);
        phase += (120.0 + 20.0 * std::sin(2 * M_PI * 0.5 * t)) / kRate;
        const double pulse = phase >= 1.0 ? 1.0 : 0.0;
        phase -= pulse;
        const double env = (syllable % 6 == 5 || u > 0.7) ? 0.0 : std::pow(std::sin(M_PI * u / 0.7), 2);
        for (int f = 0; f < 3; ++f) {
            const double w = 2 * M_PI * vowels[syllable % 4][f] / kRate;
            const double out = pulse + 2 * r * std::cos(w) * y[f][0] - r * r * y[f][1];
            y[f][1] = y[f][0];
            y[f][0] = out;
            v[i] += env * out / (1 << f);
        }
    }
    return v;
}

// Kick on the beats 1 and 3, snare on 2 and 4, a hat on every eighth.
std::vector<double> drums() {
    std::vector<double> v(kFrames);
    Noise noise;
    double last = 0.0;
    for (size_t i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kRate, s = std::fmod(t, kStep);
        const int step = static_cast<int>(t / kStep) % 8;
        const double n = noise.next(), hat = n - last;
        last = n;
        v[i] = 0.3 * hat * std::exp(-s / 0.02);
        if (step % 4 == 0) v[i] += std::sin(2 * M_PI * (50.0 * s + 3.0 * (1.0 - std::exp(-s / 0.03)))) * std::exp(-s / 0.25);
        if (step % 4 == 2) v[i] += (0.5 * n + 0.5 * std::sin(2 * M_PI * 190.0 * s)) * std::exp(-s / 0.09);
    }
    return v;
}

// A saw chord, A minor and F major two seconds each, with no gap.
std::vector<double> chords() {
    const double notes[2][4] = {{110.0, 220.0, 261.63, 329.63}, {87.31, 174.61, 220.0, 261.63}};
    std::vector<double> v(kFrames);
    for (size_t i = 0; i < kFrames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        for (double f : notes[static_cast<int>(t / 2.0) % 2]) v[i] += 2.0 * std::fmod(f * t, 1.0) - 1.0;
    }
    return v;
}

double rms(const std::vector<float>& s, int channels, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from * channels; i < to * channels; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>((to - from) * channels));
}

struct Measured {
    double loudness = 0, peak = 0, silenceMs = 0; // dB against the input, dBFS, ms
};

Measured measure(const std::vector<float>& in, const SoundFile& out) {
    Measured m;
    m.loudness = db(rms(out.samples, 2, 0, kFrames) / rms(in, 1, 0, kFrames));
    float peak = 0.0f;
    for (float s : out.samples) peak = std::max(peak, std::fabs(s));
    m.peak = db(peak);
    const size_t window = kRate / 100;
    int run = 0, longest = 0;
    for (size_t w = 0; w + window <= kFrames; w += window) {
        run = rms(out.samples, 2, w, w + window) < 0.001 ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    m.silenceMs = 10.0 * longest;
    return m;
}

// The first 3 ms of the hit that loses most of them, against the same preset without its gate.
// From the second hit on: a gate closed by the silence before the loop needs a few
// milliseconds to open on the first one, as any gate without look-ahead does.
double gateAttack(const SoundFile& gated, const SoundFile& open) {
    double worst = 0.0;
    const size_t span = 3 * kRate / 1000, grid = static_cast<size_t>(kStep * kRate);
    for (size_t onset = grid; onset + span <= kFrames; onset += grid)
        worst = std::min(worst, db(rms(gated.samples, 2, onset, onset + span) / rms(open.samples, 2, onset, onset + span)));
    return worst;
}

// Where a preset's name promises another level than the input's: the range in dB, and why.
struct Promise {
    const char* preset;
    const char* signal; // null: every signal
    double low, high;
    const char* why;
};
const Promise kPromises[] = {
    {"Loud and Clear", nullptr, 1.0, 6.0, "more level for a finished mix"},
    {"Reverb Send Bus", nullptr, -10.0, 2.0, "a return: the reverb alone, with the kick's low end kept out of it"},
    {"Auto Wah", "drums", -14.0, 2.0, "a band-pass: the kick lies below the band"},
    {"Lo-Fi Radio", "drums", -9.0, 2.0, "a radio has no low end: the kick goes"},
};

} // namespace

TEST(FactoryVoicing, EveryPresetKeepsTheLevelPeaksAndAttacksOfSpeechDrumsAndChords) {
    struct Signal {
        const char* name;
        std::vector<float> samples;
        bool sustained, hits;
    };
    const Signal signals[] = {{"speech", peakAt(speech(), 0.5), false, false},
                              {"drums", peakAt(drums(), 0.5), false, true},
                              {"chords", peakAt(chords(), 0.5), true, false}};
    TempDir dir("orvel-voicing");
    const auto render = [&](const std::string& input, const std::filesystem::path& preset,
                            const std::vector<std::string>& extra) {
        const std::string output = dir.file("out.wav");
        std::vector<std::string> args = {"render", input, output, "--preset", preset.string(), "--float", "--tail", "2"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult r = runOrvel(args);
        EXPECT_EQ(r.status, 0) << preset << ": " << r.err;
        SoundFile out = readSoundFile(output);
        EXPECT_EQ(out.frames(), kFrames + 2 * kRate) << preset;
        out.samples.resize((kFrames + 2 * kRate) * 2);
        return out;
    };
    std::printf("%-20s %-7s %9s %9s %11s %14s\n", "preset", "signal", "level dB", "peak dBFS", "silence ms", "gate attack dB");
    for (const Signal& signal : signals) {
        const std::string input = dir.file(std::string(signal.name) + ".wav");
        writeSoundFile(input, kRate, 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                       [&](size_t i, int) { return signal.samples[i]; });
        for (const std::filesystem::path& preset : builtFactoryPresets()) {
            const std::string name = preset.stem().string(), where = name + " on " + signal.name;
            const SoundFile out = render(input, preset, {});
            const Measured m = measure(signal.samples, out);
            double low = -2.0, high = 2.0;
            for (const Promise& p : kPromises)
                if (name == p.preset && (!p.signal || std::string(p.signal) == signal.name)) low = p.low, high = p.high;
            EXPECT_GE(m.loudness, low) << where << " is too quiet";
            EXPECT_LE(m.loudness, high) << where << " is too loud";
            EXPECT_LE(m.peak, -1.0) << where << " leaves no headroom";
            if (signal.sustained) {
                EXPECT_LE(m.silenceMs, 100.0) << where << " falls silent";
            }
            char attack[16] = "-";
            if (signal.hits && runOrvel({"preset", "dump", preset.string()}).out.find("\ngate = 1\n") != std::string::npos) {
                const double loss = gateAttack(out, render(input, preset, {"--set", "gate=0"}));
                EXPECT_GE(loss, -3.0) << where << ": the gate takes the front off the hits";
                std::snprintf(attack, sizeof attack, "%.1f", loss);
            }
            std::printf("%-20s %-7s %9.1f %9.1f %11.0f %14s\n", name.c_str(), signal.name, m.loudness, m.peak,
                        m.silenceMs, attack);
        }
    }
}

TEST(FactoryVoicing, TheDefaultPresetGivesATypicalMixingLevelBackAtItsLevel) {
    // A 1 kHz sine at -18 dBFS RMS (peak A = 0.1778) through both soft clippers,
    // x - x|x|/4, each keeping 1 - 2A/(3 pi) of the fundamental: 0.9623, then 0.9637
    // for the slightly smaller second input; master 4 * 0.52^2 = 1.0816 makes +0.03 dB.
    TempDir dir("orvel-default-level");
    const std::string input = dir.file("tone.wav"), output = dir.file("out.wav");
    const float peak = static_cast<float>(std::sqrt(2.0) * std::pow(10.0, -18.0 / 20));
    writeSoundFile(input, kRate, 2, kRate, SF_FORMAT_WAV | SF_FORMAT_FLOAT, sine(1000.0, kRate, peak));
    const CommandResult r = runOrvel({"render", input, output, "--preset", std::string(ORVEL_BINARY_DIR) + "/presets/default.zuo", "--float", "--tail", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    const SoundFile in = readSoundFile(input), out = readSoundFile(output);
    ASSERT_EQ(out.frames(), in.frames());
    EXPECT_NEAR(db(rms(out.samples, 2, kRate / 2, kRate) / rms(in.samples, 2, kRate / 2, kRate)), 0.03, 0.05);
}
