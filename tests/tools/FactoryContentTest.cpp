// The factory presets as built: each one a complete, musically usable state
// that reads back to the same file, with a name a host shows whole.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include "plugin/vst24.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"
#include "tools/PresetBuildFixture.h"

namespace fs = std::filesystem;

namespace {

const fs::path kBuiltPresets = fs::path(ORVEL_BINARY_DIR) / "presets";

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<fs::path> factoryPresets() {
    std::vector<fs::path> presets;
    for (const auto& e : fs::recursive_directory_iterator(kBuiltPresets))
        if (e.is_regular_file() && e.path().extension() == ".zuo") presets.push_back(e.path());
    std::sort(presets.begin(), presets.end());
    return presets;
}

double rmsOver(const SoundFile& f, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        for (int c = 0; c < f.channels; ++c) sum += static_cast<double>(f.at(i, c)) * f.at(i, c);
    return std::sqrt(sum / static_cast<double>((to - from) * static_cast<size_t>(f.channels)));
}

} // namespace

TEST(FactoryContent, EveryPresetIsCompleteAndReadsBackToTheSameFile) {
    const std::vector<fs::path> presets = factoryPresets();
    ASSERT_GE(presets.size(), 17u);
    TempDir dir("orvel-factory-text");
    for (const fs::path& preset : presets) {
        const std::string name = preset.stem().string();
        EXPECT_LE(name.size(), static_cast<size_t>(kVstMaxProgNameLen)) << name << " is cut in a host's program list";
        const CommandResult dumped = runOrvel({"preset", "dump", preset.string()});
        ASSERT_EQ(dumped.status, 0) << preset << ": " << dumped.err;
        EXPECT_NE(dumped.out.find("name = " + (name == "default" ? std::string("Default") : name) + "\n"),
                  std::string::npos)
            << "the stored name is the file's: " << dumped.out;
        for (const char* key : kStoredKeys)
            EXPECT_NE(dumped.out.find("\n" + std::string(key) + " = "), std::string::npos) << preset << ": " << key;
        const std::string text = dir.file("p.txt"), rebuilt = dir.file("p.zuo");
        writeBytes(text, std::vector<unsigned char>(dumped.out.begin(), dumped.out.end()));
        const CommandResult built = runOrvel({"preset", "build", text, rebuilt});
        ASSERT_EQ(built.status, 0) << built.err;
        EXPECT_EQ(bytesOf(rebuilt), bytesOf(preset)) << preset;
    }
}

TEST(FactoryContent, EveryPresetSoundsWithoutClippingOrSilence) {
    TempDir dir("orvel-factory-sound");
    const std::string input = dir.file("in.wav");
    constexpr int kRate = 44100;
    constexpr size_t kFrames = kRate; // a second of a chord with a few hits, peaks near -6 dBFS
    writeSoundFile(input, kRate, 2, kFrames, SF_FORMAT_WAV | SF_FORMAT_FLOAT, [](size_t i, int c) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0.12 * (std::sin(2 * M_PI * 220 * t) + std::sin(2 * M_PI * 277.2 * t) + std::sin(2 * M_PI * 329.6 * t));
        const double sinceHit = std::fmod(t, 0.25);
        v += 0.14 * std::exp(-sinceHit * 40.0) * std::sin(2 * M_PI * (c ? 61.0 : 60.0) * sinceHit * 10.0);
        return static_cast<float>(v);
    });
    const SoundFile in = readSoundFile(input);
    const double inputRms = rmsOver(in, 0, kFrames);
    for (const fs::path& preset : factoryPresets()) {
        const std::string output = dir.file("out.wav");
        const CommandResult r = runOrvel({"render", input, output, "--preset", preset.string(), "--tail", "1"});
        ASSERT_EQ(r.status, 0) << preset << ": " << r.err;
        const SoundFile out = readSoundFile(output);
        ASSERT_EQ(out.frames(), kFrames + kRate);
        float peak = 0.0f;
        for (float s : out.samples) {
            ASSERT_TRUE(std::isfinite(s)) << preset;
            peak = std::max(peak, std::fabs(s));
        }
        EXPECT_LT(peak, 1.0f) << preset << " clips";
        const double level = rmsOver(out, kFrames / 4, kFrames);
        // Within 12 dB of the input: no preset leaves a musician hunting for the level.
        EXPECT_GT(level, inputRms / 4.0) << preset << " is far quieter than its input";
        EXPECT_LT(level, inputRms * 4.0) << preset << " is far louder than its input";
    }
}
