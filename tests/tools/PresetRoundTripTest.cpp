// Presets built by orvel preset build: dumped back to the same text, and
// driving a render.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstdio>

#include "tools/PresetBuildFixture.h"

TEST_F(PresetBuild, DumpOfABuiltPresetReproducesItsText) {
    // Every key with a value of its own, a name that needs escapes, a
    // controller map and extra assignments.
    std::string canonical = "name = \\x20Big Room \\\\ 2\ntempo = 96.5\nprogram = 4\nfolder = 1\n";
    float v = 0.01f;
    for (const char* key : kStoredKeys) {
        char line[64];
        std::snprintf(line, sizeof(line), "%s = %g\n", key, static_cast<double>(v));
        canonical += line;
        v += 0.02f;
    }
    canonical += "cc 1 = filter_cutoff\ncc 1 = filter_reso 3\ncc 74 = 103\nextra = master\n";
    const CommandResult built = build(canonical);
    ASSERT_EQ(built.status, 0) << built.err;
    const CommandResult dumped = runOrvel({"preset", "dump", preset});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    // %g prints up to six digits, which the shortest float text reproduces for these values.
    EXPECT_EQ(dumped.out, canonical);
}

TEST_F(PresetBuild, UnlistedKeysTakeThePluginsInitialValues) {
    const CommandResult r = build("# only a name\nname = Plain\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const CommandResult dumped = runOrvel({"preset", "dump", preset});
    ASSERT_EQ(dumped.status, 0) << dumped.err;
    EXPECT_NE(dumped.out.find("\ncompression = 1\ncompress_speed = 0.82002\ngate = 0.5\n"), std::string::npos)
        << dumped.out;
    EXPECT_NE(dumped.out.find("\nsolo = 0\n"), std::string::npos);
    EXPECT_EQ(readText(preset).size(), 4u * (163 + 2)) << "a 5-byte name takes two words";
}

TEST_F(PresetBuild, ABuiltPresetDrivesARender) {
    // Effects on and the direct sound muted: what comes out is the reverb
    // alone, and it rings on after the input has stopped.
    const CommandResult r = build(
        "name = Wet\nfxwitch = 1\nsolo = 1\nreverb_power = 1\nrvb_level = 1\nrvb_room = 0.8\nrvb_decay = 0.8\n"
        "fx_return = 1\n");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
    writeSoundFile(input, 44100, 1, 22050, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(300, 44100, 0.5f));
    const CommandResult rendered = runOrvel({"render", input, output, "--preset", preset, "--tail", "2"});
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    const SoundFile out = readSoundFile(output);
    ASSERT_EQ(out.frames(), 22050u + 88200u);
    EXPECT_GT(peakFrom(out, 22050 + 4410), 0.001f) << "the reverb tail is audible after the input ends";
}
