// orvel render, run as a user would: formats and lengths, the sound with a
// few settings, presets by name, bad input, and what it tells about its output.
// The probe plug-in passes its input through, so that non-finite samples
// reach the output whatever Orvel does with them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <tuple>
#include <thread>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

constexpr int k16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16, k24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24,
              kFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

// Every stage that shapes the sound switched out, unity master gain.
const std::vector<std::string> kNeutral = {"--set", "gate=0",    "--set", "comp=0",    "--set", "preamp=0",
                                           "--set", "dyn=0",     "--set", "fxwitch=0", "--set", "master=0.5"};

class Render : public ::testing::Test {
protected:
    TempDir dir{"orvel-render"};
    TempDir junk{"orvel-render-junk"}; // inputs that are not what they claim
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");

    std::vector<std::string> files() const { return filesIn(dir.path()); }
    CommandResult render(const std::vector<std::string>& options) {
        return runOrvel(std::vector<std::string>{"render", input, output} + options);
    }
};

} // namespace

TEST_F(Render, StereoOfInputPlusTailAtTheInputsRateInTheFormatOfTheInputOrTheExtension) {
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
        {44100, 1, k24, 4410, "out-float.wav", {"--tail", "0.1", "--float"}, kFloat, 8820},
        // a FLAC input read back keeps its 24-bit samples
        {0, 0, 0, 0, "from-flac.wav", {"--tail", "0"}, k24, 8820},
        // the limits of the rates the plug-in takes
        {11050, 1, k16, 2000, "low.wav", {"--tail", "0"}, k16, 2000},
        {196000, 1, k16, 20000, "high.wav", {"--tail", "0"}, k16, 20000},
    };
    for (const auto& c : cases) {
        if (c.rate) writeSoundFile(input, c.rate, c.channels, c.frames, c.format, sine(1000.0, c.rate, 0.25f));
        const std::string in = c.rate ? input : dir.file("out.flac"), path = dir.file(c.output);
        const CommandResult r = runOrvel(std::vector<std::string>{"render", in, path} + c.options);
        ASSERT_EQ(r.status, 0) << c.output << ": " << r.err;
        EXPECT_EQ(r.err, "") << "no progress bar when standard error is not a terminal";
        const SoundFile out = readSoundFile(path);
        EXPECT_EQ(std::tuple(out.channels, out.sampleRate, out.format, out.frames()),
                  std::tuple(2, c.rate ? c.rate : 44100, c.expectedFormat, c.expectedFrames))
            << c.output;
        EXPECT_GT(peakFrom(out, 0), 0.01f) << c.output;
        EXPECT_TRUE(c.frames != 22050 || contains(r.out, "110250 frames at 44100 Hz")) << r.out;
    }
}

TEST_F(Render, WithEverythingNeutralTheOutputFollowsTheInputAndSoloOrAZeroMasterSilences) {
    // The right channel the left one upside down: each comes out on its own side.
    const auto tone = sine(1000.0, 44100, 0.25f);
    writeSoundFile(input, 44100, 2, 44100, k16, [&](size_t i, int c) { return c ? -tone(i, c) : tone(i, c); });
    const CommandResult r = render(std::vector<std::string>{"--tail", "2", "--set", "solo=0"} + kNeutral);
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
        const CommandResult silent = render(settings);
        ASSERT_EQ(silent.status, 0) << silent.err;
        EXPECT_LT(peakFrom(readSoundFile(output), 4410), 0.001f) << settings[1];
    }
}

TEST_F(Render, TakesAFactoryPresetByPathNameFolderAndNameOrAnyCase) {
    writeSoundFile(input, 44100, 1, 8820, k24, sine(220.0, 44100, 0.4f));
    const auto rendered = [&](const std::string& preset) {
        const CommandResult r = render({"--preset", preset, "--tail", "0.5"});
        EXPECT_EQ(r.status, 0) << preset << ": " << r.err;
        return readText(output);
    };
    const std::string byPath = rendered(std::string(ORVEL_BINARY_DIR) + "/presets/Creative/Tape Echo.zuo");
    for (const char* name : {"Tape Echo", "Creative/Tape Echo", "tape echo"}) EXPECT_EQ(rendered(name), byPath) << name;
    EXPECT_NE(rendered("Lo-Fi Radio"), byPath) << "another preset sounds different";

    const CommandResult unknown = expectFailure({"render", input, dir.file("x.wav"), "--preset", "Tape Echoes"}, 1,
                                                "Tape Echoes is neither a preset file nor a factory preset");
    EXPECT_TRUE(contains(unknown.err, "\"Creative/Tape Echo\"")) << "the presets there are: " << unknown.err;
    EXPECT_FALSE(fs::exists(dir.file("x.wav")));
}

// Bad input: one clear line on standard error, a non-zero exit status, and
// nothing written (an existing output stays as it was).
TEST_F(Render, EachMistakeGivesOneLineItsStatusAndNoFile) {
    writeSoundFile(input, 44100, 1, 4410, k16, sine(440, 44100, 0.5f));
    writeBytes(junk.file("noise.wav"), {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'});
    writeBytes(junk.file("text.so"), {'h', 'i'});
    fs::create_directory(junk.file("folder.wav"));
    writeSoundFile(junk.file("three.wav"), 44100, 3, 10, k16, sine(440, 44100, 0.5f));
    for (int rate : {11025, 200000})
        writeSoundFile(junk.file(std::to_string(rate) + ".wav"), rate, 1, 100, k16, sine(100, rate, 0.5f));
    const std::string library = "/usr/lib/x86_64-linux-gnu/libsndfile.so.1"; // a library without a VST entry point
    ASSERT_TRUE(fs::exists(library));
    const std::vector<std::string> r = {"render", input, output};
    const struct {
        std::vector<std::string> args;
        std::string message;
        int status;
    } cases[] = {
        {{"render", dir.file("missing.wav"), output}, "cannot read " + dir.file("missing.wav"), 1},
        {{"render", junk.file("noise.wav"), output}, "cannot read " + junk.file("noise.wav"), 1},
        {{"render", junk.file("three.wav"), output}, "has 3 channels; only mono and stereo", 1},
        {{"render", junk.file("11025.wav"), output}, "11025 Hz; the plug-in takes 11050 to 196000 Hz", 1},
        {{"render", junk.file("200000.wav"), output}, "200000 Hz; the plug-in takes 11050 to 196000 Hz", 1},
        {{"render", input, dir.file("no/such/folder/out.wav")}, "cannot write " + dir.file("no/such/folder/out.wav"), 1},
        {{"render", input, dir.file("out.mp3")}, "cannot tell the format of", 1},
        {{"render", input, dir.file("out.flac"), "--float"}, "cannot hold floating-point samples", 1},
        {{"render", input, junk.file("folder.wav")}, "it is a folder", 1},
        {{"render", input, input}, "is the input file", 1},
        {{"render", input, dir.file("./in.wav")}, "is the input file", 1},
        {r + std::vector<std::string>{"--plugin", dir.file("none.so")}, "cannot open plug-in", 1},
        {r + std::vector<std::string>{"--plugin", junk.file("text.so")}, junk.file("text.so") + " is not a VST 2.4 plug-in", 1},
        {r + std::vector<std::string>{"--plugin", library}, "exports neither VSTPluginMain nor main", 1},
        {r + std::vector<std::string>{"--set", "master=1.5"}, "outside 0..1", 2},
        {r + std::vector<std::string>{"--set", "master=-0.1"}, "outside 0..1", 2},
        {r + std::vector<std::string>{"--set", "master=loud"}, "not a number", 2},
        {r + std::vector<std::string>{"--set", "master"}, "KEY=VALUE", 2},
        {r + std::vector<std::string>{"--set", "mastr=0.5"}, "unknown parameter \"mastr\"", 2},
        {{"render", input}, "render takes INPUT and OUTPUT", 2},
        {r + std::vector<std::string>{"--block", "0"}, "--block takes a whole number from 1", 2},
        {r + std::vector<std::string>{"--tail", "-1"}, "--tail takes a number from 0", 2},
        {r + std::vector<std::string>{"--tempo"}, "--tempo needs a value", 2},
        {r + std::vector<std::string>{"--preset", "a.zuo", "--program", "1"}, "not both", 2},
        {r + std::vector<std::string>{"--loud"}, "unknown option --loud", 2},
        {{"frobnicate"}, "unknown command frobnicate", 2},
    };
    const std::string before = readText(input);
    for (const auto& c : cases) {
        expectFailure(c.args, c.status, c.message);
        EXPECT_EQ(files(), std::vector<std::string>{"in.wav"}) << "no output, no temporary: " << c.message;
    }
    EXPECT_EQ(readText(input), before);
    // An unknown key lists the valid ones, which are settings and not editor buttons.
    const std::string keys = render({"--set", "mastr=0.5"}).err;
    for (const char* key : {"master", "compression", "dly_time", "solo", "fxwitch", "syncmode"})
        EXPECT_TRUE(contains(keys, key)) << key;
    EXPECT_FALSE(contains(keys, "prevpr")) << keys;
}

TEST_F(Render, NonFiniteSamplesAreCountedAndFailTheRenderUnlessKept) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (float bad : {nan, inf, -inf}) {
        SCOPED_TRACE(bad);
        // 0.5 s of a quiet sine with `bad` in both channels at frames 11025..11034.
        writeSoundFile(input, 44100, 2, 22050, kFloat, [bad](size_t i, int) {
            return i >= 11025 && i < 11035 ? bad : 0.1f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
        });
        const std::vector<std::string> probe = {"--plugin", ORVEL_PROBE_PLUGIN, "--float", "--tail"};
        const CommandResult r = render(probe + std::vector<std::string>{"0"});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(contains(r.err, "warning: " + input + " has 20 non-finite samples (NaN or infinite) from 0.250 s on; "
                                                          "the plug-in gets them as they are"))
            << r.err;
        EXPECT_TRUE(contains(r.err, output + ": the plug-in gave 20 non-finite samples (NaN or infinite) from 0.250 s on; "
                                             "nothing written (--keep-bad-output keeps it)"))
            << r.err;
        EXPECT_EQ(files(), std::vector<std::string>{"in.wav"}) << "no output, no temporary";

        // With a silent half second of tail: the RMS is over the input's span, as the input's is.
        const CommandResult kept = render(probe + std::vector<std::string>{"0.5", "--keep-bad-output"});
        EXPECT_TRUE(kept.status == 1 && contains(kept.err, "from 0.250 s on; kept as asked")) << "still a failure: "
                                                                                               << kept.err;
        EXPECT_TRUE(contains(kept.out, "input peak -20.0 RMS -23.0 dBFS (of the finite samples; 20 are NaN or infinite); "
                                       "output peak -20.0 RMS -23.0 dBFS (of the finite samples; 20 are NaN or infinite)"))
            << kept.out;
        const SoundFile out = readSoundFile(output);
        EXPECT_EQ(std::count_if(out.samples.begin(), out.samples.end(), [](float v) { return !std::isfinite(v); }), 20);
        fs::remove(output);
    }
}

TEST_F(Render, ClippedSamplesAreCountedWithAHintAndFloatKeepsThem) {
    writeSoundFile(input, 44100, 1, 22050, k16, sine(220, 44100, 0.7f));
    const std::string floatOutput = dir.file("out-float.wav");
    const CommandResult asFloat = runOrvel({"render", input, floatOutput, "--set", "master=1", "--tail", "0.5", "--float"});
    ASSERT_EQ(asFloat.status, 0) << asFloat.err;
    EXPECT_EQ(asFloat.err, "") << "a float file keeps samples beyond full scale";
    const SoundFile f = readSoundFile(floatOutput);
    const size_t beyond = static_cast<size_t>(
        std::count_if(f.samples.begin(), f.samples.end(), [](float s) { return std::fabs(s) > 1.0f; }));
    ASSERT_GT(beyond, 100u) << "master=1 is 12 dB of gain on a -3 dBFS sine (the compressor holds the rest)";

    const CommandResult r = render({"--set", "master=1", "--tail", "0.5"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "orvel: warning: " + std::to_string(beyond) + " samples of " + output +
                         " were beyond full scale and are clipped in the file; lower the output level or write with "
                         "--float\n");
    EXPECT_EQ(readSoundFile(output).frames(), f.frames());
}

TEST_F(Render, TheTailEndsWhenTheOutputHasGoneQuietAndThePrerollLetsTheDelaySettle) {
    // A click through "Dub Delay" (echoes a bar apart at 120 BPM, 1 s): the tail runs until
    // the echoes have died away. Warmed up, the first echo comes at 1 s; started cold, the
    // delay is still gliding towards its time.
    writeSoundFile(input, 44100, 1, 4410, k24, [](size_t i, int) { return i < 64 ? 0.5f : 0.0f; });
    size_t frames = 0;
    const std::vector<std::string> runs[] = {{"--block", "512"}, {"--block", "100"}, {"--preroll", "3"}, {"--preroll", "0"}};
    for (const std::vector<std::string>& extra : runs) {
        const CommandResult r = render(std::vector<std::string>{"--preset", "Dub Delay", "--float"} + extra);
        ASSERT_EQ(r.status, 0) << r.err;
        const SoundFile out = readSoundFile(output);
        const float threshold = 0.1f * peakFrom(out, 0);
        double echo = 0.0;
        for (size_t i = 8820; i < out.frames() && echo == 0.0; ++i)
            if (std::fabs(out.at(i, 0)) > threshold) echo = static_cast<double>(i) / 44100.0;
        if (extra[1] == "0") {
            EXPECT_LT(echo, 0.95) << "cold, the echo comes early";
            continue;
        }
        EXPECT_NEAR(echo, 1.0, 0.015) << extra[0] << " " << extra[1] << ": a preroll rounded up to two bars is settled";
        EXPECT_TRUE(out.frames() > 4410u + 2u * 44100u && out.frames() < 4410u + 60u * 44100u)
            << out.frames() << ": longer than the old fixed 2 s tail, shorter than the cut";
        EXPECT_LT(peakFrom(out, out.frames() - 4410), 0.0001f) << "quiet at its end (-80 dBFS)";
        EXPECT_GE(peakFrom(out, out.frames() - 1), 3.16e-5f) << "it ends on the last sample above -90 dBFS";
        if (extra[0] == "--block") {
            EXPECT_TRUE(!frames || out.frames() == frames) << "the block size moves nothing";
            frames = out.frames();
        }
    }
    // An output that never goes quiet is cut at 60 s, and the summary says so.
    const CommandResult hum = render({"--plugin", ORVEL_PROBE_PLUGIN, "--set", "offset=0.01"});
    ASSERT_EQ(hum.status, 0) << hum.err;
    EXPECT_TRUE(contains(hum.out, "tail 60.00 s, cut while still sounding")) << hum.out;
    EXPECT_EQ(readSoundFile(output).frames(), 4410u + 60u * 44100u);
    // Through a probe that adds nothing, silence after the input is quiet at once.
    ASSERT_EQ(render({"--plugin", ORVEL_PROBE_PLUGIN}).status, 0);
    EXPECT_EQ(readSoundFile(output).frames(), 4410u);
}

TEST_F(Render, ASignalRemovesTheTemporaryAndLeavesTheOutputAlone) {
    writeSoundFile(input, 44100, 1, 44100, k16, sine(440, 44100, 0.5f));
    writeBytes(output, {'o', 'l', 'd'});
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const int pid = startOrvel({"render", input, output, "--tail", "600"}, junk.file("out"), junk.file("err"));
        ASSERT_GT(pid, 0);
        // Wait for the temporary to appear, then interrupt the render.
        bool seen = false;
        for (int i = 0; i < 2000 && !seen; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5)))
            for (const std::string& name : files()) seen = seen || name.rfind(".out.wav.", 0) == 0;
        EXPECT_TRUE(seen);
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(files(), (std::vector<std::string>{"in.wav", "out.wav"}));
        EXPECT_EQ(readText(output), "old");
    }
}
