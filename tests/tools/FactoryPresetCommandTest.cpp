// The orvel command with the built factory presets: presets by name and
// the program list bank by bank.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/SettingsSandbox.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

const fs::path kFactoryTexts = fs::path(ORVEL_SOURCE_DIR) / "presets" / "factory";
const std::string kBuiltPresets = std::string(ORVEL_BINARY_DIR) + "/presets";

class FactoryPresetCommand : public ::testing::Test {
protected:
    TempDir dir{"orvel-factory"};
    std::string input = dir.file("in.wav");
    void SetUp() override {
        writeSoundFile(input, 44100, 1, 8820, SF_FORMAT_WAV | SF_FORMAT_PCM_24, sine(220.0, 44100, 0.4f));
    }
    CommandResult render(const std::string& preset, const std::string& out) {
        return runOrvel({"render", input, dir.file(out), "--preset", preset, "--tail", "0.5"});
    }
};

} // namespace

TEST_F(FactoryPresetCommand, RenderTakesAPresetByNameFolderAndNameOrAnyCase) {
    const CommandResult byPath = render(kBuiltPresets + "/Creative/Tape Echo.zuo", "path.wav");
    ASSERT_EQ(byPath.status, 0) << byPath.err;
    for (const char* name : {"Tape Echo", "Creative/Tape Echo", "tape echo"}) {
        const CommandResult r = render(name, "name.wav");
        ASSERT_EQ(r.status, 0) << name << ": " << r.err;
        EXPECT_EQ(readText(dir.file("name.wav")), readText(dir.file("path.wav"))) << name;
    }
    // A different preset sounds different.
    ASSERT_EQ(render("Lo-Fi Radio", "other.wav").status, 0);
    EXPECT_NE(readText(dir.file("other.wav")), readText(dir.file("path.wav")));

    const CommandResult unknown = render("Tape Echoes", "x.wav");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(contains(unknown.err, "Tape Echoes is neither a preset file nor a factory preset")) << unknown.err;
    EXPECT_TRUE(contains(unknown.err, "\"Creative/Tape Echo\"")) << "the presets there are: " << unknown.err;
    EXPECT_EQ(std::count(unknown.err.begin(), unknown.err.end(), '\n'), 1) << "one line";
    EXPECT_FALSE(fs::exists(dir.file("x.wav")));
}

TEST_F(FactoryPresetCommand, ProgramsListsEveryBankAsAHostStepsThroughThem) {
    SettingsSandbox sandbox; // a musician whose preset folder is the built factory content
    sandbox.write(std::string(SettingsSandbox::kHeader) + "\"firstuse\"=dword:00000001\n\"presetpath0\"=\"" +
                  kBuiltPresets + "/\"\n");
    const CommandResult r = runOrvel({"programs"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "current program: \"Default\"\n")) << r.out;
    size_t presets = 0;
    std::set<std::string> folders;
    for (const auto& e : fs::recursive_directory_iterator(kFactoryTexts)) {
        if (!e.is_regular_file() || e.path().parent_path() == kFactoryTexts) continue;
        ++presets;
        folders.insert(e.path().parent_path().filename().string());
        EXPECT_TRUE(contains(r.out, "  " + e.path().stem().string() + "\n")) << e.path() << "\n" << r.out;
    }
    EXPECT_TRUE(contains(r.out, std::to_string(presets) + " programs in " + std::to_string(folders.size()) + " banks\n"))
        << r.out;

    // Without presets there is nothing to list.
    sandbox.write(std::string(SettingsSandbox::kHeader) + "\"firstuse\"=dword:00000001\n\"presetpath0\"=\"" +
                  dir.file("none") + "/\"\n");
    const CommandResult none = runOrvel({"programs"});
    ASSERT_EQ(none.status, 0) << none.err;
    EXPECT_TRUE(contains(none.out, "0 programs in 0 banks\n")) << none.out;
}
