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

class RenderCommand : public ::testing::Test {
protected:
    TempDir dir{"orvel-render"};
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");
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
        if (c.rate) writeSoundFile(input, c.rate, c.channels, c.frames, c.format, sine(1000.0, c.rate, 0.25f));
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

TEST_F(RenderCommand, WithEverythingNeutralTheOutputFollowsTheInputAndSoloOrAZeroMasterSilences) {
    // The right channel the left one upside down: each comes out on its own side.
    const auto tone = sine(1000.0, 44100, 0.25f);
    writeSoundFile(input, 44100, 2, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16,
                   [&](size_t i, int c) { return c ? -tone(i, c) : tone(i, c); });
    const CommandResult r =
        runOrvel(std::vector<std::string>{"render", input, output, "--tail", "2", "--set", "solo=0"} + kNeutral);
    ASSERT_EQ(r.status, 0) << r.err;
    const SoundFile in = readSoundFile(input), out = readSoundFile(output);
    ASSERT_EQ(out.frames(), 44100u + 88200u);
    // Past the first tenth of a second, where gain ramps and filters settle.
    for (int channel = 0; channel < 2; ++channel) {
        double xy = 0.0, xx = 0.0, yy = 0.0;
        for (size_t i = 4410; i < 44100; ++i) {
            const double x = in.at(i, channel), y = out.at(i, channel);
            xy += x * y, xx += x * x, yy += y * y;
        }
        EXPECT_GT(xy / std::sqrt(xx * yy + 1e-30), 0.99) << "correlation, channel " << channel;
        EXPECT_NEAR(10.0 * std::log10(yy / xx), 0.0, 1.0) << "gain in dB, channel " << channel;
    }
    EXPECT_LT(peakFrom(out, 44100 + 4410), 0.001f) << "no effect is on, so nothing rings on";

    // solo keeps only the effect returns, and both effects are off; the last setting of a key wins
    for (const std::vector<std::string>& settings :
         {std::vector<std::string>{"--set", "solo=1"} + kNeutral, {"--set", "master=0.5", "--set", "master=0"}}) {
        const CommandResult silent = runOrvel(std::vector<std::string>{"render", input, output} + settings);
        ASSERT_EQ(silent.status, 0) << silent.err;
        EXPECT_LT(peakFrom(readSoundFile(output), 4410), 0.001f) << settings[1];
    }
}
