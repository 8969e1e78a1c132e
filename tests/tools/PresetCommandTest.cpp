// orvel preset build and dump: a built preset dumps back to its own text,
// text errors are reported by line, preset files written word by word here
// (older layouts, damaged files refused cleanly), and files it cannot read or write.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "support/Fifo.h"
#include "support/StateWords.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

StateWords sampleLayout() {
    StateWords l;
    l.header(4, 128.5f).record(11, 0.5f).record(45, 1.0f);
    l.add({99, 3}).addFloat(0.25f).add({7, 8}); // unknown id, two extra words
    l.record(29, 0.1f);
    l.add({-1});
    l.add({7, 0, 0, 16, 2, -2}); // cc 7: master, filter_cutoff/2
    l.add({64, 103, 0, -2});                    // cc 64: the second of two "prevpr" tags
    l.add({-3});
    l.add({1}).addString("Warm\\Room\t");
    l.add({16, 3, 2});
    l.add({1, 101, 0, -4});
    l.add({0, 0}).addString("Host");
    return l;
}

class PresetCommand : public ::testing::Test {
protected:
    TempDir dir{"orvel-preset"};
    std::string text = dir.file("p.txt");
    std::string preset = dir.file("p.zuo");

    void writeText(const std::string& content) { std::ofstream(text, std::ios::binary) << content; }
    std::string buildAndDump(const std::string& content) {
        writeText(content);
        const CommandResult built = runOrvel({"preset", "build", text, preset});
        EXPECT_EQ(built.status, 0) << built.err;
        const CommandResult dumped = runOrvel({"preset", "dump", preset});
        EXPECT_EQ(dumped.status, 0) << dumped.err;
        return dumped.out;
    }
    void expectError(const std::string& content, const std::string& message) {
        writeText(content);
        expectFailure({"preset", "build", text, preset}, 1, message);
        EXPECT_FALSE(std::filesystem::exists(preset)) << content;
    }
};

} // namespace

TEST_F(PresetCommand, UnlistedKeysTakeThePluginsInitialValuesAndEveryKeyDumpsBackAsBuilt) {
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

TEST_F(PresetCommand, TextErrorsNameTheLine) {
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
    expectFailure({"preset", "build", dir.file("none.txt"), preset}, 1, "cannot read " + dir.file("none.txt"));
    writeText("name=x\n");
    expectFailure({"preset", "build", text, dir.file("missing/p.zuo")}, 1, "cannot write " + dir.file("missing/p.zuo"));
    expectFailure({"preset", "build", text}, 2, "preset build takes TEXT and OUT.zuo");
}

TEST_F(PresetCommand, PrintsNameTempoParametersAndControllerMapOfThisAndOlderLayouts) {
    std::vector<unsigned char> bytes = sampleLayout().bytes();
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7}); // past the stated length: ignored
    // Layout 1 has no product code; layout 2 stores controller targets as single
    // words; tail 12 carries the program words but no assignments; no name and
    // no tail before version 10.
    const std::pair<std::vector<unsigned char>, std::string> cases[] = {
        {bytes, "name = Warm\\\\Room\\x09\ntempo = 128.5\nprogram = 3\nfolder = 2\nmaster = 0.5\nsolo = 1\n"
                "# record 99 = 0.25 (no parameter of this plug-in)\nfilter_cutoff = 0.1\ncc 7 = master\n"
                "cc 7 = filter_cutoff 2\ncc 64 = 103\nextra = solo\n"},
        {StateWords().header(1).record(11, 0.25f).add({-1, 1, 16, -2, -3, 1}).addString("Old").add({12, 5, 1}).bytes(),
         "name = Old\ntempo = 120\nprogram = 5\nfolder = 1\nmaster = 0.25\ncc 1 = filter_cutoff\n"},
        {StateWords().header(2).add({-1, -3, 0, 9}).bytes(), "name = \ntempo = 120\n"},
    };
    for (const auto& [layout, text] : cases) {
        writeBytes(preset, layout);
        const CommandResult r = runOrvel({"preset", "dump", preset});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, text);
    }
}

TEST_F(PresetCommand, DamagedFilesAreRefusedWithOneLine) {
    std::vector<unsigned char> longer = sampleLayout().bytes();
    longer[0] = 200; // claims more words than the file holds
    std::vector<unsigned char> magic = sampleLayout().bytes();
    magic[16] ^= 1;
    std::vector<std::pair<std::vector<unsigned char>, std::string>> cases = {
        {longer, "the header states 200 words but the data holds"},
        {magic, "wrong magic word"},
        {StateWords().add({0, 4}).addFloat(1).addFloat(1).add({26101977, 5, 2, 4}).bytes(), "state kind 2"},
        {StateWords().add({0, 4}).addFloat(1).addFloat(1).add({26101977, 5, 1, 0}).bytes(), "layout version 0"},
        {StateWords().add({0, 4}).addFloat(1).addFloat(1).add({26101977, 5, 1, 4, 40}).bytes(), "product code 40"},
        {StateWords().header().add({11, 0}).addFloat(0.5f).add({-1}).bytes(), "has length 0"},
        {StateWords().header().add({-1, 128, -2, -3}).bytes(), "controller number 128"},
        {StateWords().header().add({-1, -3, 1, 1000}).bytes(), "preset name"},
        {StateWords().header().add({-1, -3, 0, 16, 0, 0, 0, -4, 1 << 20, 1 << 20}).bytes(), "matrix"},
        {{1, 2, 3}, "too short"},
    };
    // Every layout cut short, word by word.
    const StateWords full = sampleLayout();
    for (size_t words = 0; words < full.size(); ++words) cases.push_back({full.prefix(words), ""});
    for (const auto& [bytes, message] : cases) {
        writeBytes(preset, bytes);
        const CommandResult r = expectFailure({"preset", "dump", preset}, 1, preset + " is not an Orvel preset: ");
        EXPECT_TRUE(contains(r.err, message)) << bytes.size() << " bytes: " << r.err;
        EXPECT_EQ(r.out, "");
    }
    expectFailure({"preset", "dump", dir.file("none.zuo")}, 1, "cannot read " + dir.file("none.zuo"));
    expectFailure({"preset", "dump"}, 2, "preset dump takes FILE.zuo");
    expectFailure({"preset", "show", preset}, 2, "preset takes dump or build, not show");
}

TEST_F(PresetCommand, AFifoIsNamedForWhatItIsWithoutWaitingOnIt) {
    const std::string fifo = dir.file("pipe.zuo");
    makeFifo(fifo);
    writeSoundFile(dir.file("in.wav"), 44100, 1, 441, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(220.0, 44100, 0.4f));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"preset", "dump", fifo}, "cannot read " + fifo + ": it is a FIFO (named pipe), not a regular file"},
        {{"render", dir.file("in.wav"), dir.file("out.wav"), "--preset", fifo},
         fifo + " is a FIFO (named pipe), not a regular file"},
    };
    for (const auto& [args, message] : cases) {
        CommandResult r;
        EXPECT_TRUE(returnsWithin(std::chrono::seconds(20), [&] { r = expectFailure(args, 1, message); },
                                  writerFor({fifo})));
        EXPECT_FALSE(contains(r.err, "neither")) << r.err;
    }
}
