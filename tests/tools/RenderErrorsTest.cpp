// orvel render with bad input: one clear line on standard error, a non-zero
// exit status, and nothing written (an existing output stays as it was).
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

class RenderErrors : public ::testing::Test {
protected:
    TempDir dir{"orvel-render-errors"};
    std::string input = dir.file("in.wav");
    std::string output = dir.file("out.wav");

    void SetUp() override { writeSoundFile(input, 44100, 1, 4410, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(440, 44100, 0.5f)); }

    // Runs a render that must fail with a message containing `expected`.
    void expectFailure(const std::vector<std::string>& args, const std::string& expected, int status = 0) {
        const CommandResult r = runOrvel(args);
        EXPECT_NE(r.status, 0) << "succeeded: " << r.out;
        if (status) {
            EXPECT_EQ(r.status, status);
        }
        EXPECT_EQ(r.err.rfind("orvel: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << "one line: " << r.err;
        EXPECT_NE(r.err.find(expected), std::string::npos) << r.err;
        expectOnlyFiles({"in.wav"});
    }

    void expectOnlyFiles(std::vector<std::string> names) {
        std::vector<std::string> found;
        for (const auto& e : fs::directory_iterator(dir.path())) found.push_back(e.path().filename().string());
        std::sort(found.begin(), found.end());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(found, names) << "no output and no temporary may be left behind";
    }
};

} // namespace

TEST_F(RenderErrors, MissingOrUnreadableInput) {
    expectFailure({"render", dir.file("missing.wav"), output}, "cannot read " + dir.file("missing.wav"));
    writeBytes(dir.file("noise.wav"), {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'});
    const CommandResult r = runOrvel({"render", dir.file("noise.wav"), output});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read " + dir.file("noise.wav")), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(output));
    fs::remove(dir.file("noise.wav"));
}

TEST_F(RenderErrors, UnknownParameterKeyListsTheValidKeys) {
    const CommandResult r = runOrvel({"render", input, output, "--set", "mastr=0.5"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown parameter \"mastr\""), std::string::npos) << r.err;
    for (const char* key : {"master", "compression", "dly_time", "solo", "fxwitch", "syncmode"})
        EXPECT_NE(r.err.find(key), std::string::npos) << key;
    EXPECT_EQ(r.err.find("prevpr"), std::string::npos) << "editor buttons are not settings";
    expectOnlyFiles({"in.wav"});
}

TEST_F(RenderErrors, ValuesOutsideZeroToOne) {
    expectFailure({"render", input, output, "--set", "master=1.5"}, "outside 0..1", 2);
    expectFailure({"render", input, output, "--set", "master=-0.1"}, "outside 0..1", 2);
    expectFailure({"render", input, output, "--set", "master=loud"}, "not a number", 2);
    expectFailure({"render", input, output, "--set", "master"}, "KEY=VALUE", 2);
}

TEST_F(RenderErrors, SampleRatesThePluginDoesNotTake) {
    for (int rate : {8000, 11025, 200000}) {
        const std::string path = dir.file("rate.wav");
        writeSoundFile(path, rate, 1, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(100, rate, 0.5f));
        const CommandResult r = runOrvel({"render", path, output});
        EXPECT_EQ(r.status, 1) << rate;
        EXPECT_NE(r.err.find(std::to_string(rate) + " Hz; the plug-in takes 11050 to 196000 Hz"), std::string::npos)
            << r.err;
        fs::remove(path);
    }
    expectOnlyFiles({"in.wav"});
    // The limits themselves are accepted.
    for (int rate : {11050, 196000}) {
        const std::string path = dir.file("edge.wav");
        writeSoundFile(path, rate, 1, 100, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(100, rate, 0.5f));
        const CommandResult r = runOrvel({"render", path, output, "--tail", "0"});
        EXPECT_EQ(r.status, 0) << rate << ": " << r.err;
    }
}

TEST_F(RenderErrors, OutputsThatCannotBeWritten) {
    expectFailure({"render", input, dir.file("no/such/folder/out.wav")}, "cannot write " + dir.file("no/such/folder/out.wav"));
    expectFailure({"render", input, dir.file("out.mp3")}, "cannot tell the format of");
    expectFailure({"render", input, dir.file("out.flac"), "--float"}, "cannot hold floating-point samples");
    fs::create_directory(dir.file("folder.wav"));
    const CommandResult r = runOrvel({"render", input, dir.file("folder.wav")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("it is a folder"), std::string::npos) << r.err;
    fs::remove(dir.file("folder.wav"));
}

TEST_F(RenderErrors, NeverOverwritesTheInput) {
    const std::string before = readText(input);
    expectFailure({"render", input, input}, "is the input file");
    const std::string other = dir.file("./in.wav");
    expectFailure({"render", input, other}, "is the input file");
    EXPECT_EQ(readText(input), before);
}

TEST_F(RenderErrors, AFailedRenderLeavesAnExistingOutputAlone) {
    writeBytes(output, {'o', 'l', 'd'});
    const CommandResult r = runOrvel({"render", input, output, "--set", "nothing=1"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(readText(output), "old");
    expectOnlyFiles({"in.wav", "out.wav"});
}

TEST_F(RenderErrors, PluginPathsThatAreNotVstPlugins) {
    expectFailure({"render", input, output, "--plugin", dir.file("none.so")}, "cannot open plug-in");
    writeBytes(dir.file("text.so"), {'h', 'i'});
    const CommandResult text = runOrvel({"render", input, output, "--plugin", dir.file("text.so")});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.err.find(dir.file("text.so") + " is not a VST 2.4 plug-in"), std::string::npos) << text.err;
    fs::remove(dir.file("text.so"));
    // A real shared library without a VST entry point.
    const std::string library = "/usr/lib/x86_64-linux-gnu/libsndfile.so.1";
    ASSERT_TRUE(fs::exists(library));
    expectFailure({"render", input, output, "--plugin", library}, "exports neither VSTPluginMain nor main");
}

TEST_F(RenderErrors, CommandLineMistakes) {
    expectFailure({"render", input}, "render takes INPUT and OUTPUT", 2);
    expectFailure({"render", input, output, "--block", "0"}, "--block takes a whole number from 1", 2);
    expectFailure({"render", input, output, "--tail", "-1"}, "--tail takes a number from 0", 2);
    expectFailure({"render", input, output, "--tempo"}, "--tempo needs a value", 2);
    expectFailure({"render", input, output, "--preset", "a.zuo", "--program", "1"}, "not both", 2);
    expectFailure({"render", input, output, "--loud"}, "unknown option --loud", 2);
    expectFailure({"frobnicate"}, "unknown command frobnicate", 2);
}
