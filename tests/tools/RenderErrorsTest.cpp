// orvel render with bad input: one clear line on standard error, a non-zero
// exit status, and nothing written (an existing output stays as it was).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

class RenderErrors : public ::testing::Test {
protected:
    TempDir dir{"orvel-render-errors"};
    TempDir junk{"orvel-render-junk"}; // inputs that are not what they claim
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");

    void SetUp() override { writeSoundFile(input, 44100, 1, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(440, 44100, 0.5f)); }
};

} // namespace

TEST_F(RenderErrors, EachMistakeGivesOneLineItsStatusAndNoFile) {
    writeBytes(junk.file("noise.wav"), {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'});
    writeBytes(junk.file("text.so"), {'h', 'i'});
    fs::create_directory(junk.file("folder.wav"));
    writeSoundFile(junk.file("three.wav"), 44100, 3, 10, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(440, 44100, 0.5f));
    const std::string library = "/usr/lib/x86_64-linux-gnu/libsndfile.so.1"; // a library without a VST entry point
    ASSERT_TRUE(fs::exists(library));
    const std::vector<std::string> r = {"render", input, output};
    auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = r;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const struct {
        std::vector<std::string> args;
        std::string message;
        int status;
    } cases[] = {
        {{"render", dir.file("missing.wav"), output}, "cannot read " + dir.file("missing.wav"), 1},
        {{"render", junk.file("noise.wav"), output}, "cannot read " + junk.file("noise.wav"), 1},
        {{"render", junk.file("three.wav"), output}, "has 3 channels; only mono and stereo", 1},
        {{"render", input, dir.file("no/such/folder/out.wav")}, "cannot write " + dir.file("no/such/folder/out.wav"), 1},
        {{"render", input, dir.file("out.mp3")}, "cannot tell the format of", 1},
        {{"render", input, dir.file("out.flac"), "--float"}, "cannot hold floating-point samples", 1},
        {{"render", input, junk.file("folder.wav")}, "it is a folder", 1},
        {{"render", input, input}, "is the input file", 1},
        {{"render", input, dir.file("./in.wav")}, "is the input file", 1},
        {with({"--plugin", dir.file("none.so")}), "cannot open plug-in", 1},
        {with({"--plugin", junk.file("text.so")}), junk.file("text.so") + " is not a VST 2.4 plug-in", 1},
        {with({"--plugin", library}), "exports neither VSTPluginMain nor main", 1},
        {with({"--set", "master=1.5"}), "outside 0..1", 2},
        {with({"--set", "master=-0.1"}), "outside 0..1", 2},
        {with({"--set", "master=loud"}), "not a number", 2},
        {with({"--set", "master"}), "KEY=VALUE", 2},
        {with({"--set", "mastr=0.5"}), "unknown parameter \"mastr\"", 2},
        {{"render", input}, "render takes INPUT and OUTPUT", 2},
        {with({"--block", "0"}), "--block takes a whole number from 1", 2},
        {with({"--tail", "-1"}), "--tail takes a number from 0", 2},
        {with({"--tempo"}), "--tempo needs a value", 2},
        {with({"--preset", "a.zuo", "--program", "1"}), "not both", 2},
        {with({"--loud"}), "unknown option --loud", 2},
        {{"frobnicate"}, "unknown command frobnicate", 2},
    };
    const std::string before = readText(input);
    for (const auto& c : cases) {
        const CommandResult result = runOrvel(c.args);
        EXPECT_EQ(result.status, c.status) << c.message;
        EXPECT_EQ(result.err.rfind("orvel: ", 0), 0u) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "one line: " << result.err;
        EXPECT_TRUE(contains(result.err, c.message)) << result.err;
        EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"in.wav"}) << "no output, no temporary: " << c.message;
    }
    EXPECT_EQ(readText(input), before);
    // An unknown key lists the valid ones, which are settings and not editor buttons.
    const std::string keys = runOrvel(with({"--set", "mastr=0.5"})).err;
    for (const char* key : {"master", "compression", "dly_time", "solo", "fxwitch", "syncmode"})
        EXPECT_TRUE(contains(keys, key)) << key;
    EXPECT_FALSE(contains(keys, "prevpr")) << keys;
}

TEST_F(RenderErrors, SampleRatesThePluginDoesNotTake) {
    const std::string path = junk.file("rate.wav");
    for (int rate : {8000, 11025, 200000, 11050, 196000}) {
        writeSoundFile(path, rate, 1, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(100, rate, 0.5f));
        const CommandResult r = runOrvel({"render", path, output, "--tail", "0"});
        const bool taken = rate == 11050 || rate == 196000; // the limits themselves
        EXPECT_EQ(r.status, taken ? 0 : 1) << rate << ": " << r.err;
        if (!taken) {
            EXPECT_TRUE(contains(r.err, std::to_string(rate) + " Hz; the plug-in takes 11050 to 196000 Hz")) << r.err;
            EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"in.wav"});
        }
    }
}
