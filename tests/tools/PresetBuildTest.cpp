// orvel preset build and dump: a built preset dumps back to its own text,
// text errors are reported by line, and files it cannot read or write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

class PresetBuild : public ::testing::Test {
protected:
    TempDir dir{"orvel-build"};
    std::string text = dir.file("p.txt");
    std::string preset = dir.file("p.zuo");

    CommandResult build(const std::string& content) {
        writeBytes(text, std::vector<unsigned char>(content.begin(), content.end()));
        return runOrvel({"preset", "build", text, preset});
    }
    std::string buildAndDump(const std::string& content) {
        const CommandResult built = build(content);
        EXPECT_EQ(built.status, 0) << built.err;
        const CommandResult dumped = runOrvel({"preset", "dump", preset});
        EXPECT_EQ(dumped.status, 0) << dumped.err;
        return dumped.out;
    }
    void expectError(const std::string& content, const std::string& message) {
        const CommandResult r = build(content);
        EXPECT_EQ(r.status, 1) << content;
        EXPECT_TRUE(contains(r.err, message)) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_FALSE(std::filesystem::exists(preset));
    }
};

} // namespace

TEST_F(PresetBuild, UnlistedKeysTakeThePluginsInitialValuesAndEveryKeyDumpsBackAsBuilt) {
    const std::string plain = buildAndDump("# only a name\nname = Plain\n");
    EXPECT_TRUE(contains(plain, "\ncompression = 1\ncompress_speed = 0.82002\ngate = 0.5\n")) << plain;
    EXPECT_TRUE(contains(plain, "\nsolo = 0\n"));
    EXPECT_EQ(readText(preset).size(), 4u * (163 + 2)) << "a 5-byte name takes two words";

    // Every stored key, in the order dump prints them, with a value of its own; a
    // name that needs escapes, a controller map and extra assignments.
    std::string canonical = "name = \\x20Big Room \\\\ 2\ntempo = 96.5\nprogram = 4\nfolder = 1\n";
    std::istringstream lines(plain);
    float v = 0.01f;
    int keys = 0;
    for (std::string line; std::getline(lines, line);) {
        const std::string key = line.substr(0, line.find(" = "));
        if (key == "name" || key == "tempo" || key == "program" || key == "folder") continue;
        char item[64];
        std::snprintf(item, sizeof(item), "%s = %g\n", key.c_str(), static_cast<double>(v));
        canonical += item;
        v += 0.02f;
        ++keys;
    }
    EXPECT_EQ(keys, 47);
    canonical += "cc 1 = filter_cutoff\ncc 1 = filter_reso 3\ncc 74 = 103\nextra = master\n";
    // %g prints up to six digits, which the shortest float text reproduces for these values.
    EXPECT_EQ(buildAndDump(canonical), canonical);
}

TEST_F(PresetBuild, TextErrorsNameTheLine) {
    expectError("name = A\nmastr = 0.5\n", "p.txt:2: unknown key \"mastr\"");
    expectError("name = A\n\n# c\nmaster = 1.5\n", "p.txt:4: the value of master is outside 0..1");
    expectError("name = A\nmaster = half\n", "p.txt:2: the value of master is not a number");
    expectError("name = A\nmaster = 0.5\nmaster = 0.6\n", "p.txt:3: master is given twice");
    expectError("master = 0.5\n", "p.txt: the preset has no name line");
    expectError("name = A\ncc 128 = master\n", "p.txt:2: a controller number must be a whole number from 0 to 127");
    expectError("name = A\ncc 1 = nothing\n", "p.txt:2: unknown target \"nothing\"");
    expectError("name = A\nextra = 40000\n", "p.txt:2: a target must be a whole number from -32768 to 32767");
    expectError("name = A\ntempo = 0\n", "p.txt:2: tempo must be a number above 0");
    expectError("name = A\nsolo\n", "p.txt:2: expected KEY = VALUE");
    expectError("name = A\\q\n", "p.txt:1: a backslash in the name");
}

TEST_F(PresetBuild, FilesThatCannotBeReadOrWritten) {
    CommandResult r = runOrvel({"preset", "build", dir.file("none.txt"), preset});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "cannot read " + dir.file("none.txt"))) << r.err;
    writeBytes(text, {'n', 'a', 'm', 'e', '=', 'x', '\n'});
    r = runOrvel({"preset", "build", text, dir.file("missing/p.zuo")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.err, "cannot write " + dir.file("missing/p.zuo"))) << r.err;
    EXPECT_EQ(runOrvel({"preset", "build", text}).status, 2);
}
