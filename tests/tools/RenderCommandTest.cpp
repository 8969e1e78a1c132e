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

TEST_F(RenderCommand, StereoOfInputPlusTailAtTheInputsRateInTheFormatOfTheInputOrTheExtension) {
    constexpr int k16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16, k24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    const struct {
        int rate, channels, format;
        size_t frames;
        std::string output;
        std::vector<std::string> options;
        int expectedFormat;
        size_t expectedFrames;
    } cases[] = {
        {44100, 1, k16, 22050, "out.wav", {"--tail", "2"}, k16, 22050 + 88200},
        {48000, 2, k24, 1000, "out.wav", {"--tail", "0.25", "--block", "100", "--tempo", "90"}, k24, 1000 + 12000},
        {44100, 1, k24, 4410, "out.flac", {"--tail", "0.1"}, SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 8820},
        {44100, 1, k24, 4410, "out.aiff", {"--tail", "0.1"}, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 8820},
        {44100, 1, k24, 4410, "out.ogg", {"--tail", "0.1"}, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 8820},
        {44100, 1, k24, 4410, "out-float.wav", {"--tail", "0.1", "--float"}, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 8820},
        // a FLAC input read back keeps its 24-bit samples
        {0, 0, 0, 0, "from-flac.wav", {"--tail", "0"}, k24, 8820},
    };
    for (const auto& c : cases) {
        if (c.rate) makeSineInput(c.rate, c.frames, c.format, c.channels);
        const std::string in = c.rate ? input : dir.file("out.flac"), path = dir.file(c.output);
        const CommandResult r = runOrvel(std::vector<std::string>{"render", in, path} + c.options);
        ASSERT_EQ(r.status, 0) << c.output << ": " << r.err;
        EXPECT_EQ(r.err, "") << "no progress bar when standard error is not a terminal";
        const SoundFile out = readSoundFile(path);
        EXPECT_EQ(out.channels, 2) << c.output;
        EXPECT_EQ(out.sampleRate, c.rate ? c.rate : 44100) << c.output;
        EXPECT_EQ(out.format, c.expectedFormat) << c.output;
        EXPECT_EQ(out.frames(), c.expectedFrames) << c.output;
        EXPECT_GT(peakFrom(out, 0), 0.01f) << c.output;
        if (c.frames == 22050) {
            EXPECT_TRUE(contains(r.out, "110250 frames at 44100 Hz")) << r.out;
        }
    }
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

TEST_F(RenderCommand, SoloWithTheEffectsOffOrTheLastMasterSettingOfZeroSilences) {
    makeSineInput(44100, 22050);
    // solo keeps only the effect returns, and both effects are off; the last setting of a key wins
    for (const std::vector<std::string>& settings :
         {std::vector<std::string>{"--set", "solo=1"} + kNeutral, {"--set", "master=0.5", "--set", "master=0"}}) {
        const CommandResult r = runOrvel(std::vector<std::string>{"render", input, output} + settings);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_LT(peakFrom(readSoundFile(output), 4410), 0.001f) << settings[1];
    }
}
