// The command line: help, the version, orvel bench, info, demo and programs,
// and the same host driving a peer plug-in.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "support/SettingsSandbox.h"
#include "support/TempDir.h"
#include "tools/OrvelCommand.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// A VST 2.4 plug-in from Debian's lsp-plugins-vst, installed by the machine setup.
const char* const kPeerPlugin = "/usr/lib/vst/lsp-plugins/compressor-stereo.so";

} // namespace

TEST(CommandLine, EverySubcommandAnswersHelpAndTheVersionIsShown) {
    for (const char* command : {"render", "bench", "info", "programs", "preset", "demo", "screenshot"})
        for (const char* flag : {"--help", "-h"}) {
            // Help wins over anything else on the line, even a mistake.
            const CommandResult r = runOrvel({command, "--no-such-option", flag});
            EXPECT_EQ(r.status, 0) << command << " " << flag << ": " << r.err;
            EXPECT_EQ(r.out.rfind(std::string("usage: orvel ") + command, 0), 0u) << r.out;
            EXPECT_EQ(r.err, "");
        }
    const CommandResult all = runOrvel({"--help"}), version = runOrvel({"--version"});
    EXPECT_EQ(all.status + version.status, 0);
    for (const char* part : {"orvel render", "--preroll", "--keep-bad-output", "orvel bench", "orvel --version"})
        EXPECT_TRUE(contains(all.out, part)) << part;
    EXPECT_EQ(version.out, "orvel 1.0.0.000 (Tamblor Orvel, VST 2.4)\n");
    EXPECT_EQ(runOrvel({}).status, 2) << "no command is a usage error";
}

TEST(BenchCommand, PrintsTheMedianOfFiveRunsForOrvelAndForAnyPlugin) {
    const std::regex line("([0-9.]+) ns per frame, ([0-9.]+) x real time \\(runs: ([0-9.]+) ([0-9.]+) ([0-9.]+) "
                          "([0-9.]+) ([0-9.]+)\\)\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"bench", "--seconds", "0.2", "--preset", "Dub Delay", "--set", "master=0.4"},
          std::vector<std::string>{"bench", "--seconds", "0.2", "--block", "64", "--plugin", ORVEL_PROBE_PLUGIN}}) {
        const CommandResult r = runOrvel(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(contains(r.out, "44100 Hz, blocks of ")) << r.out;
        std::smatch m;
        ASSERT_TRUE(std::regex_search(r.out, m, line)) << r.out;
        std::vector<double> runs;
        for (int i = 3; i <= 7; ++i) runs.push_back(std::stod(m[i]));
        std::sort(runs.begin(), runs.end());
        EXPECT_DOUBLE_EQ(std::stod(m[1]), runs[2]) << "the median";
        EXPECT_NEAR(std::stod(m[2]), 1e9 / (std::stod(m[1]) * 44100.0), 0.06 * std::stod(m[2]) + 0.1);
    }
    expectFailure({"bench", "--seconds", "0"}, 2, "--seconds takes a number from 0.1 to 600");
}

TEST(InfoCommand, ShowsIdentityCapabilitiesAndEveryParameterInItsUnit) {
    TempDir dir("orvel-info");
    const std::string preset = dir.file("units.zuo"), text = dir.file("units.txt");
    std::ofstream(text) << "name = units\nmaster = 0.25\ngate_speed = 0.5\ncompression = 0.5\n"
                           "dyn_eq_response = 0.25\nrvb_room = 0.5\nfollowertarget = 0.4\nhipass_freq = 0.5\n";
    ASSERT_EQ(runOrvel({"preset", "build", text, preset}).status, 0);
    const CommandResult r = runOrvel({"info", "--preset", preset});
    ASSERT_EQ(r.status, 0) << r.err;
    // The values as the preset leaves them, read back through the host's calls,
    // worked by hand from the mappings: master 4v^2 = 0.25 is -12.0 dB; gate hold 400 - 390v;
    // compression 100 v^3 %; dyn response r = 0.7617 (0.999 - 0.949v in steps of 0.0001),
    // holds 450, 750, 1000 r^2; room 90v + 10 %; destination floor(8v + 0.001) = 3;
    // high-pass 20000 (0.276v)^2 Hz.
    for (const char* part :
         {"name:          Orvel\n", "unique ID:     0x7A756F72 'zuor'\n", "audio:         2 in, 2 out\n",
          "flags:         561 (has editor, can replace, program chunks, no sound in stop)\n",
          "editor:        682 x 425\n", "  receiveVstTimeInfo   1\n", "parameters (38):\n",
          "    0  master              0.250000  \"0.250000 \"  -12.0 dB\n",
          "gate_speed          0.500000  \"0.500000 \"  205 ms\n", "compression         0.500000  \"0.500000 \"  12 %\n",
          "dyn_eq_response     0.250000  \"0.250000 \"  261/435/580 ms\n",
          "rvb_room            0.500000  \"0.500000 \"  55 %\n",
          "followertarget      0.400000  \"0.400000 \"  Delay Fdbk\n",
          "hipass_freq         0.500000  \"0.500000 \"  381 Hz\n"})
        EXPECT_TRUE(contains(r.out, part)) << part << r.out;
    const std::vector<std::string> all = lines(r.out);
    const auto first = std::find(all.begin(), all.end(), "parameters (38):");
    ASSERT_LT(first + 39, all.end()) << r.out;
    for (const auto& [row, parts] : {std::pair<int, std::vector<std::string>>{20, {" 19  filter_type", "steps of 0.5"}},
                                     {32, {" 31  ef_power", "switch"}}, {39, {"programs (128)"}}})
        for (const std::string& part : parts) EXPECT_TRUE(contains(first[row], part)) << first[row];

    const CommandResult peer = runOrvel({"info", "--plugin", ORVEL_PROBE_PLUGIN});
    EXPECT_TRUE(contains(peer.out, "    0  offset              0.000000  \"\"\n")) << "no units for other plug-ins: " << peer.out;
}

TEST(DemoCommand, RendersTheDefaultAndThreeFactoryPresetsOrStandInsAndPrintsTheirLevels) {
    TempDir dir("orvel-demo");
    // Without factory presets, stand-ins take their place.
    const std::vector<std::string> names[2] = {{"default ", "Vocal Plate ", "Tape Echo ", "Slow Filter Sweep "},
                                               {"default ", "room reverb ", "tape echo ", "filter sweep "}};
    for (const bool factory : {true, false}) {
        const std::string out = dir.file(factory ? "factory" : "stand-ins");
        const CommandResult r = runOrvel(factory ? std::vector<std::string>{"demo", out}
                                                 : std::vector<std::string>{"demo", out, "--presets", dir.file("none")});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::vector<std::string> rows = lines(r.out);
        ASSERT_EQ(rows.size(), 5u) << r.out;
        const SoundFile input = readSoundFile(out + "/demo-input.wav");
        EXPECT_TRUE(input.channels == 2 && input.frames() > 44100u * 3) << "a few seconds in stereo";
        for (size_t i = 1; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].rfind(names[factory ? 0 : 1][i - 1], 0), 0u) << rows[i];
            const std::regex level(" dB ");
            EXPECT_EQ(std::distance(std::sregex_iterator(rows[i].begin(), rows[i].end(), level), {}), 4)
                << "peak and RMS of input and output: " << rows[i];
            const std::string file = rows[i].substr(rows[i].rfind(' ') + 1);
            EXPECT_EQ(fs::path(file).parent_path(), out);
            EXPECT_GE(readSoundFile(file).frames(), input.frames()) << file << ": the input and the tail";
        }
        EXPECT_EQ(filesIn(out).size(), 5u);
    }
    const std::string out = dir.file("factory");
    EXPECT_TRUE(fs::is_regular_file(out + "/demo-slow-filter-sweep.wav")) << "named for its preset";
    // The default row is the factory default preset, not whatever the user's start-up state is.
    ASSERT_EQ(runOrvel({"render", out + "/demo-input.wav", dir.file("default.wav"), "--preset", "default"}).status, 0);
    const SoundFile demo = readSoundFile(out + "/demo-default.wav"), direct = readSoundFile(dir.file("default.wav"));
    ASSERT_EQ(demo.samples.size(), direct.samples.size());
    float largest = 0.0f; // the demo renders the phrase before it is stored in 24 bits
    for (size_t i = 0; i < demo.samples.size(); ++i)
        largest = std::max(largest, std::fabs(demo.samples[i] - direct.samples[i]));
    EXPECT_LT(largest, 1e-4f);
}

TEST(PeerPlugin, RendersAndReportsThroughTheSameHost) {
    if (!fs::exists(kPeerPlugin)) GTEST_SKIP() << kPeerPlugin << " is not installed (lsp-plugins-vst)";
    const CommandResult info = runOrvel({"info", "--plugin", kPeerPlugin});
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_TRUE(contains(info.out, "vendor:        LSP VST")) << info.out;

    TempDir dir("orvel-peer");
    const std::string input = dir.file("in.wav"), output = dir.file("out.wav");
    writeSoundFile(input, 48000, 1, 24000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, sine(500, 48000, 0.5f));
    // The peer's keys are the names it reports; its output gain moves the level.
    const auto peakWith = [&](const std::string& setting) {
        const CommandResult r = runOrvel({"render", input, output, "--plugin", kPeerPlugin, "--tail", "0.5", "--set", setting});
        EXPECT_EQ(r.status, 0) << r.err;
        const SoundFile f = readSoundFile(output);
        EXPECT_EQ(std::pair(f.channels, f.frames()), std::pair(2, size_t(24000 + 24000))) << "stereo, with the tail";
        return peakFrom(f, 0);
    };
    EXPECT_LT(peakWith("g_out=0.1") * 2.0f, peakWith("g_out=0.9"));
    expectFailure({"render", input, output, "--plugin", kPeerPlugin, "--set", "master=1"}, 2,
                  "valid keys: bypass, g_in, g_out");
}

TEST(ProgramsCommand, ListsEveryBankAsAHostStepsThroughThem) {
    const fs::path texts = fs::path(ORVEL_SOURCE_DIR) / "presets" / "factory";
    SettingsSandbox sandbox; // a musician whose preset folder is the built factory content, then an empty one
    const auto presetFolder = [&](const std::string& folder) {
        sandbox.write(std::string(SettingsSandbox::kHeader) + "\"firstuse\"=dword:00000001\n\"presetpath0\"=\"" +
                      folder + "/\"\n");
        const CommandResult r = runOrvel({"programs"});
        EXPECT_EQ(r.status, 0) << r.err;
        return r.out;
    };
    const std::string out = presetFolder(std::string(ORVEL_BINARY_DIR) + "/presets");
    EXPECT_TRUE(contains(out, "current program: \"Default\"\n")) << out;
    size_t presets = 0;
    std::set<std::string> folders;
    for (const auto& e : fs::recursive_directory_iterator(texts)) {
        if (!e.is_regular_file() || e.path().parent_path() == texts) continue;
        ++presets;
        folders.insert(e.path().parent_path().filename().string());
        EXPECT_TRUE(contains(out, "  " + e.path().stem().string() + "\n")) << e.path() << "\n" << out;
    }
    EXPECT_TRUE(contains(out, std::to_string(presets) + " programs in " + std::to_string(folders.size()) + " banks\n"))
        << out;
    TempDir dir("orvel-programs");
    EXPECT_TRUE(contains(presetFolder(dir.file("none")), "0 programs in 0 banks\n"));
}
