// orvel preset dump on preset files written word by word here: the text it
// prints, older layouts, and damaged files that must be refused cleanly.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstring>

#include "support/Fifo.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace {

// A state layout as little-endian words.
class Layout {
public:
    Layout& word(int32_t v) {
        words_.push_back(static_cast<uint32_t>(v));
        return *this;
    }
    Layout& real(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        words_.push_back(bits);
        return *this;
    }
    Layout& text(const std::string& s) {
        word(static_cast<int32_t>(s.size()));
        for (size_t i = 0; i < s.size(); i += 4) {
            uint32_t w = 0;
            for (size_t j = 0; j < 4 && i + j < s.size(); ++j) w |= static_cast<uint32_t>(static_cast<unsigned char>(s[i + j])) << (8 * j);
            words_.push_back(w);
        }
        return *this;
    }
    Layout& header(int32_t layoutVersion = 4, float tempo = 120.0f) {
        word(0).word(4).real(tempo).real(44100.0f).word(26101977).word(5).word(1).word(layoutVersion);
        if (layoutVersion >= 2) word(41);
        return *this;
    }
    Layout& record(int32_t id, float v) { return word(id).word(1).real(v); }

    size_t size() const { return words_.size(); }
    // The bytes of the first `count` words, with the length word set to count.
    std::vector<unsigned char> bytes(size_t count = SIZE_MAX) const {
        std::vector<uint32_t> w(words_.begin(), words_.begin() + static_cast<std::ptrdiff_t>(std::min(count, words_.size())));
        if (!w.empty()) w[0] = static_cast<uint32_t>(w.size());
        std::vector<unsigned char> out;
        for (uint32_t v : w)
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(v >> (8 * i)));
        return out;
    }

private:
    std::vector<uint32_t> words_;
};

Layout sampleLayout() {
    Layout l;
    l.header(4, 128.5f).record(11, 0.5f).record(45, 1.0f);
    l.word(99).word(3).real(0.25f).word(7).word(8); // unknown id, two extra words
    l.record(29, 0.1f);
    l.word(-1);
    l.word(7).word(0).word(0).word(16).word(2).word(-2); // cc 7: master, filter_cutoff/2
    l.word(64).word(103).word(0).word(-2);                    // cc 64: the second of two "prevpr" tags
    l.word(-3);
    l.word(1).text("Warm\\Room\t");
    l.word(16).word(3).word(2);
    l.word(1).word(101).word(0).word(-4);
    l.word(0).word(0).text("Host");
    return l;
}

class PresetDump : public ::testing::Test {
protected:
    TempDir dir{"orvel-dump"};
    std::string file = dir.file("p.zuo");

    CommandResult dump(const std::vector<unsigned char>& bytes) {
        writeBytes(file, bytes);
        return runOrvel({"preset", "dump", file});
    }
};

} // namespace

TEST_F(PresetDump, PrintsNameTempoParametersAndControllerMap) {
    const CommandResult r = dump(sampleLayout().bytes());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "name = Warm\\\\Room\\x09\n"
              "tempo = 128.5\n"
              "program = 3\n"
              "folder = 2\n"
              "master = 0.5\n"
              "solo = 1\n"
              "# record 99 = 0.25 (no parameter of this plug-in)\n"
              "filter_cutoff = 0.1\n"
              "cc 7 = master\n"
              "cc 7 = filter_cutoff 2\n"
              "cc 64 = 103\n"
              "extra = solo\n");
}

TEST_F(PresetDump, ReadsOlderLayouts) {
    // Layout 1 has no product code; layout 2 stores controller targets as
    // single words; tail 12 carries the program words but no assignments.
    Layout v1;
    v1.header(1).record(11, 0.25f).word(-1).word(1).word(16).word(-2).word(-3).word(1).text("Old").word(12).word(5).word(1);
    CommandResult r = dump(v1.bytes());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "name = Old\ntempo = 120\nprogram = 5\nfolder = 1\nmaster = 0.25\ncc 1 = filter_cutoff\n");

    Layout v2;
    v2.header(2).word(-1).word(-3).word(0).word(9);
    r = dump(v2.bytes());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "name = \ntempo = 120\n") << "no name and a tail before version 10";
}

TEST_F(PresetDump, BytesPastTheStatedLengthAreIgnored) {
    std::vector<unsigned char> bytes = sampleLayout().bytes();
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});
    const CommandResult r = dump(bytes);
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(PresetDump, EveryTruncationIsRefusedWithOneLine) {
    const Layout full = sampleLayout();
    for (size_t words = 0; words < full.size(); ++words) {
        const CommandResult r = dump(full.bytes(words));
        EXPECT_EQ(r.status, 1) << words << " words: " << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_NE(r.err.find(file + " is not an Orvel preset: "), std::string::npos) << r.err;
    }
}

TEST_F(PresetDump, DamagedFilesAreRefused) {
    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
        const char* message;
    };
    std::vector<unsigned char> longer = sampleLayout().bytes();
    longer[0] = 200; // claims more words than the file holds
    std::vector<unsigned char> magic = sampleLayout().bytes();
    magic[16] ^= 1;
    const Case cases[] = {
        {"length", longer, "the header states 200 words but the data holds"},
        {"magic", magic, "wrong magic word"},
        {"kind", Layout().word(0).word(4).real(1).real(1).word(26101977).word(5).word(2).word(4).bytes(), "state kind 2"},
        {"layout", Layout().word(0).word(4).real(1).real(1).word(26101977).word(5).word(1).word(0).bytes(), "layout version 0"},
        {"code", Layout().word(0).word(4).real(1).real(1).word(26101977).word(5).word(1).word(4).word(40).bytes(), "product code 40"},
        {"record length", Layout().header().word(11).word(0).real(0.5f).word(-1).bytes(), "has length 0"},
        {"controller", Layout().header().word(-1).word(128).word(-2).word(-3).bytes(), "controller number 128"},
        {"name", Layout().header().word(-1).word(-3).word(1).word(1000).bytes(), "preset name"},
        {"matrix", Layout().header().word(-1).word(-3).word(0).word(16).word(0).word(0).word(0).word(-4).word(1 << 20).word(1 << 20).bytes(), "matrix"},
        {"short", {1, 2, 3}, "too short"},
    };
    for (const Case& c : cases) {
        const CommandResult r = dump(c.bytes);
        EXPECT_EQ(r.status, 1) << c.what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
    }
}

TEST_F(PresetDump, MissingFileAndUsage) {
    CommandResult r = runOrvel({"preset", "dump", dir.file("none.zuo")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot read " + dir.file("none.zuo")), std::string::npos) << r.err;
    r = runOrvel({"preset", "dump"});
    EXPECT_EQ(r.status, 2);
    r = runOrvel({"preset", "show", file});
    EXPECT_EQ(r.status, 2);
}

TEST_F(PresetDump, AFifoIsNamedForWhatItIsWithoutWaitingOnIt) {
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
