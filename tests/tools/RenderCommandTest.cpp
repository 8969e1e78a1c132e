// orvel render, run as a user would: file formats, lengths, and what the
// plug-in does to the sound with a few settings.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <filesystem>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

// Every stage that shapes the sound switched out, unity master gain.
const std::vector<std::string> kNeutral = {"--set", "gate=0",    "--set", "comp=0",    "--set", "preamp=0",
                                           "--set", "dyn=0",     "--set", "fxwitch=0", "--set", "master=0.5"};

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

double rms(const SoundFile& f, int channel, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += static_cast<double>(f.at(i, channel)) * f.at(i, channel);
    return std::sqrt(sum / static_cast<double>(to - from));
}

double correlation(const SoundFile& a, const SoundFile& b, int channel, size_t from, size_t to) {
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (size_t i = from; i < to; ++i) {
        const double x = a.at(i, 0), y = b.at(i, channel);
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return ab / std::sqrt(aa * bb + 1e-30);
}

class RenderCommand : public ::testing::Test {
protected:
    TempDir dir{"orvel-render"};
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");

    void makeSineInput(int rate = 44100, size_t frames = 22050, int format = SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                       int channels = 1) {
        writeSoundFile(input, rate, channels, frames, format, sine(1000.0, rate, 0.25f));
    }
};

} // namespace

TEST_F(RenderCommand, MonoInputGivesStereoOfInputPlusTailInTheInputFormat) {
    makeSineInput();
    const CommandResult r = runOrvel({"render", input, output, "--tail", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "") << "no progress bar when standard error is not a terminal";
    EXPECT_NE(r.out.find("110250 frames at 44100 Hz"), std::string::npos) << r.out;
    const SoundFile out = readSoundFile(output);
    EXPECT_EQ(out.channels, 2);
    EXPECT_EQ(out.sampleRate, 44100);
    EXPECT_EQ(out.frames(), 22050u + 88200u) << "input plus the 2 s tail";
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_GT(peakFrom(out, 0), 0.01f);
}

TEST_F(RenderCommand, TailBlockSizeAndRateFollowTheOptionsAndTheFile) {
    makeSineInput(48000, 1000, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 2);
    const CommandResult r = runOrvel({"render", input, output, "--tail", "0.25", "--block", "100", "--tempo", "90"});
    ASSERT_EQ(r.status, 0) << r.err;
    const SoundFile out = readSoundFile(output);
    EXPECT_EQ(out.sampleRate, 48000);
    EXPECT_EQ(out.frames(), 1000u + 12000u);
    EXPECT_EQ(out.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
}

TEST_F(RenderCommand, OutputFormatComesFromTheExtension) {
    makeSineInput(44100, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
    struct Case {
        const char* name;
        std::vector<std::string> extra;
        int format;
    };
    const Case cases[] = {
        {"out.flac", {}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24},
        {"out.aiff", {}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24},
        {"out.ogg", {}, SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"out-float.wav", {"--float"}, SF_FORMAT_WAV | SF_FORMAT_FLOAT},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        const CommandResult r = runOrvel(std::vector<std::string>{"render", input, path, "--tail", "0.1"} + c.extra);
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        const SoundFile out = readSoundFile(path);
        EXPECT_EQ(out.format, c.format) << c.name;
        EXPECT_EQ(out.frames(), 4410u + 4410u) << c.name;
    }
    // A FLAC input read back and rendered to WAV keeps its 24-bit samples.
    const CommandResult r = runOrvel({"render", dir.file("out.flac"), output, "--tail", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readSoundFile(output).format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
}

TEST_F(RenderCommand, WithEverythingNeutralTheOutputFollowsTheInput) {
    makeSineInput(44100, 44100);
    const CommandResult r = runOrvel(std::vector<std::string>{"render", input, output, "--tail", "2", "--set", "solo=0"} + kNeutral);
    ASSERT_EQ(r.status, 0) << r.err;
    const SoundFile in = readSoundFile(input), out = readSoundFile(output);
    ASSERT_EQ(out.frames(), 44100u + 88200u);
    // Past the first tenth of a second, where gain ramps and filters settle.
    for (int channel = 0; channel < 2; ++channel) {
        EXPECT_GT(correlation(in, out, channel, 4410, 44100), 0.99) << "channel " << channel;
        const double gainDb = 20.0 * std::log10(rms(out, channel, 4410, 44100) / rms(in, 0, 4410, 44100));
        EXPECT_NEAR(gainDb, 0.0, 1.0) << "channel " << channel;
    }
    EXPECT_LT(peakFrom(out, 44100 + 4410), 0.001f) << "no effect is on, so nothing rings on";
}

TEST_F(RenderCommand, SoloWithTheEffectsOffMutesEverything) {
    makeSineInput(44100, 22050);
    const CommandResult r = runOrvel(std::vector<std::string>{"render", input, output, "--set", "solo=1"} + kNeutral);
    ASSERT_EQ(r.status, 0) << r.err;
    const SoundFile out = readSoundFile(output);
    EXPECT_LT(peakFrom(out, 2205), 0.001f) << "solo keeps only the effect returns, and both effects are off";
}

TEST_F(RenderCommand, ParametersAreAppliedInCommandLineOrder) {
    makeSineInput(44100, 22050);
    // The last setting of a key wins: master 0 silences the output.
    const CommandResult r = runOrvel({"render", input, output, "--set", "master=0.5", "--set", "master=0"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_LT(peakFrom(readSoundFile(output), 4410), 0.001f);
}
