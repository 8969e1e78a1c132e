// orvel preset build: the text errors it reports by line, and files it
// cannot read or write.
#include <gtest/gtest.h>

#include "tools/PresetBuildFixture.h"

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
    EXPECT_NE(r.err.find("cannot read " + dir.file("none.txt")), std::string::npos) << r.err;
    writeBytes(text, {'n', 'a', 'm', 'e', '=', 'x', '\n'});
    r = runOrvel({"preset", "build", text, dir.file("missing/p.zuo")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write " + dir.file("missing/p.zuo")), std::string::npos) << r.err;
    r = runOrvel({"preset", "build", text});
    EXPECT_EQ(r.status, 2);
}
