// Every factory preset measured as a musician would hear it: a drum loop
// and sustained chords, each peaking at -6 dBFS, rendered through the
// plug-in by the orvel command after it has settled.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

constexpr int kRate = 44100;
constexpr size_t kFrames = 3 * kRate;
constexpr double kStep = 0.25; // eighth notes at 120 BPM: the drum grid

double db(double ratio) { return 20.0 * std::log10(std::max(ratio, 1e-10)); }

// kFrames of sample(t), scaled to peak at -6 dBFS.
template <class Sample> std::vector<float> signal(Sample sample) {
    std::vector<double> v(kFrames);
    double top = 0.0;
    for (size_t i = 0; i < kFrames; ++i) top = std::max(top, std::fabs(v[i] = sample(static_cast<double>(i) / kRate)));
    std::vector<float> out;
    for (double x : v) out.push_back(static_cast<float>(x * 0.5 / top));
    return out;
}

// Kick on the beats 1 and 3, snare on 2 and 4, a hat on every eighth.
std::vector<float> drums() {
    uint32_t noise = 12345;
    double last = 0.0;
    return signal([&](double t) {
        const double s = std::fmod(t, kStep), n = (noise = noise * 1664525u + 1013904223u) / 2147483648.0 - 1.0;
        const int step = static_cast<int>(t / kStep) % 8;
        double v = 0.3 * (n - last) * std::exp(-s / 0.02);
        last = n;
        if (step % 4 == 0) v += std::sin(2 * M_PI * (50.0 * s + 3.0 * (1.0 - std::exp(-s / 0.03)))) * std::exp(-s / 0.25);
        if (step % 4 == 2) v += (0.5 * n + 0.5 * std::sin(2 * M_PI * 190.0 * s)) * std::exp(-s / 0.09);
        return v;
    });
}

// A saw chord, A minor for two seconds, then F major with no gap.
std::vector<float> chords() {
    const double notes[2][4] = {{110.0, 220.0, 261.63, 329.63}, {87.31, 174.61, 220.0, 261.63}};
    return signal([&](double t) {
        double v = 0.0;
        for (double f : notes[static_cast<int>(t / 2.0) % 2]) v += 2.0 * std::fmod(f * t, 1.0) - 1.0;
        return v;
    });
}

double rms(const std::vector<float>& s, size_t channels, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from * channels; i < to * channels; ++i) sum += static_cast<double>(s[i]) * s[i];
    return std::sqrt(sum / static_cast<double>((to - from) * channels));
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

// The input of kFrames through a preset, in floats with half a second of tail.
SoundFile render(const TempDir& dir, const std::string& input, const std::string& preset,
                 std::vector<std::string> extra = {}) {
    const std::string output = dir.file("out.wav");
    extra.insert(extra.begin(), {"render", input, output, "--preset", preset, "--float", "--tail", "0.5"});
    const CommandResult r = runOrvel(extra);
    EXPECT_EQ(r.status, 0) << preset << ": " << r.err;
    SoundFile out = readSoundFile(output);
    EXPECT_EQ(out.frames(), kFrames + kRate / 2) << preset;
    out.samples.resize((kFrames + kRate / 2) * 2);
    return out;
}

} // namespace

TEST(FactoryVoicing, EveryPresetKeepsTheLevelPeaksAndAttacksOfDrumsAndChords) {
    std::vector<std::filesystem::path> presets;
    for (const auto& e : std::filesystem::recursive_directory_iterator(std::string(ORVEL_BINARY_DIR) + "/presets"))
        if (e.is_regular_file() && e.path().extension() == ".zuo") presets.push_back(e.path());
    std::sort(presets.begin(), presets.end());
    ASSERT_GE(presets.size(), 17u);
    const struct {
        const char* name;
        std::vector<float> samples;
    } signals[] = {{"drums", drums()}, {"chords", chords()}};
    TempDir dir("orvel-voicing");
    for (const auto& signal : signals) {
        const std::string input = dir.file(std::string(signal.name) + ".wav");
        writeSoundFile(input, kRate, 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT,
                       [&](size_t i, int) { return signal.samples[i]; });
        for (const std::filesystem::path& preset : presets) {
            const std::string name = preset.stem().string(), where = name + " on " + signal.name;
            const SoundFile out = render(dir, input, preset.string());
            const double loudness = db(rms(out.samples, 2, 0, kFrames) / rms(signal.samples, 1, 0, kFrames));
            double low = -2.0, high = 2.0;
            for (const Promise& p : kPromises)
                if (name == p.preset && (!p.signal || std::string(p.signal) == signal.name)) low = p.low, high = p.high;
            EXPECT_GE(loudness, low) << where << " is too quiet";
            EXPECT_LE(loudness, high) << where << " is too loud";
            EXPECT_LE(db(peakFrom(out, 0)), -1.0) << where << " leaves no headroom";
            if (signal.name == std::string("chords")) {
                // No stretch of more than 100 ms below -60 dBFS.
                int run = 0, longest = 0;
                for (size_t w = 0; w + kRate / 100 <= kFrames; w += kRate / 100) {
                    run = rms(out.samples, 2, w, w + kRate / 100) < 0.001 ? run + 1 : 0;
                    longest = std::max(longest, run);
                }
                EXPECT_LE(longest, 10) << where << " falls silent";
            }
            if (signal.name != std::string("drums") ||
                !contains(runOrvel({"preset", "dump", preset.string()}).out, "\ngate = 1\n"))
                continue;
            // The first 3 ms of every hit against the same preset without its gate. From the
            // second hit on: a gate closed by the silence before the loop needs a few
            // milliseconds to open on the first one, as any gate without look-ahead does.
            const SoundFile open = render(dir, input, preset.string(), {"--set", "gate=0"});
            const size_t span = 3 * kRate / 1000, grid = static_cast<size_t>(kStep * kRate);
            for (size_t onset = grid; onset + span <= kFrames; onset += grid)
                EXPECT_GE(db(rms(out.samples, 2, onset, onset + span) / rms(open.samples, 2, onset, onset + span)), -3.0)
                    << where << ": the gate takes the front off the hit at " << onset;
        }
    }
}

TEST(FactoryVoicing, TheDefaultPresetGivesATypicalMixingLevelBackAtItsLevel) {
    // A 1 kHz sine at -18 dBFS RMS (peak A = 0.1778) through both soft clippers,
    // x - x|x|/4, each keeping 1 - 2A/(3 pi) of the fundamental: 0.9623, then 0.9637
    // for the slightly smaller second input; master 4 * 0.52^2 = 1.0816 makes +0.03 dB.
    TempDir dir("orvel-default-level");
    const std::string input = dir.file("tone.wav");
    const float peak = static_cast<float>(std::sqrt(2.0) * std::pow(10.0, -18.0 / 20));
    writeSoundFile(input, kRate, 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT, sine(1000.0, kRate, peak));
    const SoundFile in = readSoundFile(input), out = render(dir, input, "default");
    EXPECT_NEAR(db(rms(out.samples, 2, kRate / 2, kRate) / rms(in.samples, 2, kRate / 2, kRate)), 0.03, 0.05);
}
