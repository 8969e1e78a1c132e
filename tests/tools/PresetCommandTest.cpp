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
    CommandResult dump(const std::vector<unsigned char>& bytes) {
        writeBytes(preset, bytes);
        return runOrvel({"preset", "dump", preset});
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
    const CommandResult unread = runOrvel({"preset", "build", dir.file("none.txt"), preset});
    EXPECT_EQ(unread.status, 1);
    EXPECT_TRUE(contains(unread.err, "cannot read " + dir.file("none.txt"))) << unread.err;
    writeBytes(text, {'n', 'a', 'm', 'e', '=', 'x', '\n'});
    const CommandResult unwritten = runOrvel({"preset", "build", text, dir.file("missing/p.zuo")});
    EXPECT_EQ(unwritten.status, 1);
    EXPECT_TRUE(contains(unwritten.err, "cannot write " + dir.file("missing/p.zuo"))) << unwritten.err;
    EXPECT_EQ(runOrvel({"preset", "build", text}).status, 2);
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
        const CommandResult r = dump(layout);
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
        const CommandResult r = dump(bytes);
        EXPECT_EQ(r.status, 1) << message << bytes.size() << " bytes: " << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(contains(r.err, preset + " is not an Orvel preset: ")) << r.err;
        EXPECT_TRUE(contains(r.err, message)) << r.err;
    }
    const CommandResult missing = runOrvel({"preset", "dump", dir.file("none.zuo")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(contains(missing.err, "cannot read " + dir.file("none.zuo"))) << missing.err;
    EXPECT_EQ(runOrvel({"preset", "dump"}).status, 2);
    EXPECT_EQ(runOrvel({"preset", "show", preset}).status, 2);
}

TEST_F(PresetCommand, AFifoIsNamedForWhatItIsWithoutWaitingOnIt) {
    const std::string fifo = dir.file("pipe.zuo");
    makeFifo(fifo);
    writeSoundFile(dir.file("in.wav"), 44100, 1, 441, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(220.0, 44100, 0.4f));
    CommandResult dump, render;
    EXPECT_TRUE(returnsWithin(std::chrono::seconds(20), [&] { dump = runOrvel({"preset", "dump", fifo}); },
                              writerFor({fifo})));
    EXPECT_EQ(dump.status, 1);
    EXPECT_NE(dump.err.find("cannot read " + fifo + ": it is a FIFO (named pipe), not a regular file"),
              std::string::npos)
        << dump.err;
    EXPECT_TRUE(returnsWithin(std::chrono::seconds(20), [&] {
        render = runOrvel({"render", dir.file("in.wav"), dir.file("out.wav"), "--preset", fifo});
    }, writerFor({fifo})));
    EXPECT_EQ(render.status, 1);
    EXPECT_NE(render.err.find(fifo + " is a FIFO (named pipe), not a regular file"), std::string::npos) << render.err;
    EXPECT_EQ(render.err.find("neither"), std::string::npos) << render.err;
}
