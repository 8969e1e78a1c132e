// The command line itself: help for every subcommand, the version, and
// orvel bench.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "tools/OrvelCommand.h"

TEST(CommandLine, EverySubcommandAnswersHelpAndTheVersionIsShown) {
    for (const char* command : {"render", "bench", "info", "programs", "preset", "demo", "screenshot"})
        for (const char* flag : {"--help", "-h"}) {
            // Help wins over anything else on the line, even a mistake.
            const CommandResult r = runOrvel({command, "--no-such-option", flag});
            EXPECT_EQ(r.status, 0) << command << " " << flag << ": " << r.err;
            EXPECT_EQ(r.out.rfind(std::string("usage: orvel ") + command, 0), 0u) << r.out;
            EXPECT_EQ(r.err, "");
        }
    const CommandResult all = runOrvel({"--help"});
    EXPECT_EQ(all.status, 0);
    for (const char* part : {"orvel render", "--preroll", "--keep-bad-output", "orvel bench", "orvel --version"})
        EXPECT_TRUE(contains(all.out, part)) << part;
    const CommandResult version = runOrvel({"--version"});
    EXPECT_EQ(version.status, 0);
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
    EXPECT_EQ(runOrvel({"bench", "--seconds", "0"}).status, 2);
    EXPECT_EQ(runOrvel({"bench", "--preset", "Tape Echoes"}).status, 1);
}
