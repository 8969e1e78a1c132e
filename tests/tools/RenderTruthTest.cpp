// What orvel render tells about its output, checked against the files it
// leaves: samples that are not numbers, clipping, where the tail ends, and
// a render ended by a signal. The probe plug-in passes its input through,
// so that non-finite samples reach the output whatever Orvel does with them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <thread>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFloat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;

class RenderTruth : public ::testing::Test {
protected:
    TempDir dir{"orvel-truth"};
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");

    std::vector<std::string> files() const { return filesIn(dir.path()); }
};

} // namespace

TEST_F(RenderTruth, NonFiniteSamplesAreCountedAndFailTheRenderUnlessKept) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const auto probe = [&](const std::vector<std::string>& tail) {
        std::vector<std::string> args = {"render", input, output, "--plugin", ORVEL_PROBE_PLUGIN, "--float", "--tail"};
        args.insert(args.end(), tail.begin(), tail.end());
        return runOrvel(args);
    };
    for (float bad : {nan, inf, -inf}) {
        SCOPED_TRACE(bad);
        // 0.5 s of a quiet sine with `bad` in both channels at frames 11025..11034.
        writeSoundFile(input, 44100, 2, 22050, kFloat, [bad](size_t i, int) {
            return i >= 11025 && i < 11035 ? bad : 0.1f * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
        });
        const CommandResult r = probe({"0"});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(contains(r.err, "warning: " + input + " has 20 non-finite samples (NaN or infinite) from 0.250 s on; "
                                                          "the plug-in gets them as they are"))
            << r.err;
        EXPECT_TRUE(contains(r.err, output + ": the plug-in gave 20 non-finite samples (NaN or infinite) from 0.250 s on; "
                                             "nothing written (--keep-bad-output keeps it)"))
            << r.err;
        EXPECT_EQ(files(), std::vector<std::string>{"in.wav"}) << "no output, no temporary";

        // With a silent half second of tail: the RMS is over the input's span, as the input's is.
        const CommandResult kept = probe({"0.5", "--keep-bad-output"});
        EXPECT_EQ(kept.status, 1) << "a kept bad output is still a failure";
        EXPECT_TRUE(contains(kept.err, "from 0.250 s on; kept as asked")) << kept.err;
        EXPECT_TRUE(contains(kept.out, "input peak -20.0 RMS -23.0 dBFS (of the finite samples; 20 are NaN or infinite); "
                                       "output peak -20.0 RMS -23.0 dBFS (of the finite samples; 20 are NaN or infinite)"))
            << kept.out;
        const SoundFile out = readSoundFile(output);
        EXPECT_EQ(std::count_if(out.samples.begin(), out.samples.end(), [](float v) { return !std::isfinite(v); }), 20);
        fs::remove(output);
    }
}

TEST_F(RenderTruth, ClippedSamplesAreCountedWithAHintAndFloatKeepsThem) {
    writeSoundFile(input, 44100, 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(220, 44100, 0.7f));
    const std::string floatOutput = dir.file("out-float.wav");
    const CommandResult asFloat = runOrvel({"render", input, floatOutput, "--set", "master=1", "--tail", "0.5", "--float"});
    ASSERT_EQ(asFloat.status, 0) << asFloat.err;
    EXPECT_EQ(asFloat.err, "") << "a float file keeps samples beyond full scale";
    const SoundFile f = readSoundFile(floatOutput);
    const size_t beyond = static_cast<size_t>(
        std::count_if(f.samples.begin(), f.samples.end(), [](float s) { return std::fabs(s) > 1.0f; }));
    ASSERT_GT(beyond, 100u) << "master=1 is 12 dB of gain on a -3 dBFS sine (the compressor holds the rest)";

    const CommandResult r = runOrvel({"render", input, output, "--set", "master=1", "--tail", "0.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "orvel: warning: " + std::to_string(beyond) + " samples of " + output +
                         " were beyond full scale and are clipped in the file; lower the output level or write with "
                         "--float\n");
    EXPECT_EQ(readSoundFile(output).frames(), f.frames());
}

TEST_F(RenderTruth, ThePrerollLetsTheDelaySettleBeforeTheInput) {
    // A click through "Dub Delay" (echoes a bar apart at 120 BPM, 1 s): warmed up, the
    // first echo comes at 1 s; started cold, the delay is still gliding towards its time.
    writeSoundFile(input, 44100, 1, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_24, [](size_t i, int) { return i < 32 ? 0.5f : 0.0f; });
    auto firstEcho = [&](const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"render", input, output, "--preset", "Dub Delay", "--tail", "3", "--float"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CommandResult r = runOrvel(args);
        EXPECT_EQ(r.status, 0) << r.err;
        const SoundFile out = readSoundFile(output);
        const float threshold = 0.1f * peakFrom(out, 0);
        for (size_t i = 8820; i < out.samples.size() / 2; ++i)
            if (std::fabs(out.at(i, 0)) > threshold) return static_cast<double>(i) / 44100.0;
        return 0.0;
    };
    EXPECT_NEAR(firstEcho({}), 1.0, 0.015);
    EXPECT_NEAR(firstEcho({"--preroll", "3"}), 1.0, 0.015) << "rounded up to two bars, already settled";
    EXPECT_LT(firstEcho({"--preroll", "0"}), 0.95) << "cold, the echo comes early";
}

TEST_F(RenderTruth, TheTailEndsWhenTheOutputHasGoneQuietWhateverTheBlockSize) {
    // A click through a long echo: the tail runs until the echoes have died away.
    writeSoundFile(input, 44100, 1, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_24, [](size_t i, int) { return i < 64 ? 0.5f : 0.0f; });
    size_t frames = 0;
    for (const char* block : {"512", "100"}) {
        const CommandResult r = runOrvel({"render", input, output, "--preset", "Dub Delay", "--block", block, "--float"});
        ASSERT_EQ(r.status, 0) << r.err;
        const SoundFile out = readSoundFile(output);
        EXPECT_GT(out.frames(), 4410u + 2u * 44100u) << "longer than the old fixed 2 s tail";
        EXPECT_LT(out.frames(), 4410u + 60u * 44100u);
        EXPECT_LT(peakFrom(out, out.frames() - 4410), 0.0001f) << "quiet at its end (-80 dBFS)";
        EXPECT_GE(peakFrom(out, out.frames() - 1), 3.16e-5f) << "it ends on the last sample above -90 dBFS";
        if (frames) {
            EXPECT_EQ(out.frames(), frames) << "the block size moves nothing";
        }
        frames = out.frames();
    }
    // An output that never goes quiet is cut at 60 s, and the summary says so.
    const CommandResult hum = runOrvel({"render", input, output, "--plugin", ORVEL_PROBE_PLUGIN, "--set", "offset=0.01"});
    ASSERT_EQ(hum.status, 0) << hum.err;
    EXPECT_TRUE(contains(hum.out, "tail 60.00 s, cut while still sounding")) << hum.out;
    EXPECT_EQ(readSoundFile(output).frames(), 4410u + 60u * 44100u);
    // Through a probe that adds nothing, silence after the input is quiet at once.
    const CommandResult quiet = runOrvel({"render", input, output, "--plugin", ORVEL_PROBE_PLUGIN});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(readSoundFile(output).frames(), 4410u);
}

TEST_F(RenderTruth, ASignalRemovesTheTemporaryAndLeavesTheOutputAlone) {
    writeSoundFile(input, 44100, 1, 44100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(440, 44100, 0.5f));
    writeBytes(output, {'o', 'l', 'd'});
    TempDir logs("orvel-truth-logs");
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const int pid = startOrvel({"render", input, output, "--tail", "600"}, logs.file("out"), logs.file("err"));
        ASSERT_GT(pid, 0);
        // Wait for the temporary to appear, then interrupt the render.
        bool seen = false;
        for (int i = 0; i < 2000 && !seen; ++i) {
            for (const std::string& name : files()) seen = seen || name.rfind(".out.wav.", 0) == 0;
            if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(seen);
        kill(pid, signal);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(files(), (std::vector<std::string>{"in.wav", "out.wav"}));
        EXPECT_EQ(readText(output), "old");
    }
}
