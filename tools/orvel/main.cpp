// The orvel command: a small VST 2.4 host for the command line. It loads a
// plug-in through its entry point and works with it as a sequencer does:
// renders sound files through it, reports what it offers, and builds and
// reads Orvel's preset files.
#include <cstdio>
#include <cstring>
#include <exception>

#include "Arguments.h"
#include "CliError.h"
#include "Commands.h"

const char* const kUsage =
    "usage:\n"
    "  orvel render INPUT OUTPUT [--preset FILE.zuo|NAME | --program N] [--set KEY=VALUE]...\n"
    "               [--tempo BPM] [--block N] [--tail SECONDS] [--float] [--plugin PATH]\n"
    "  orvel info [--plugin PATH]\n"
    "  orvel programs [--plugin PATH]\n"
    "  orvel preset dump FILE.zuo\n"
    "  orvel preset build TEXT OUT.zuo [--plugin PATH]\n"
    "  orvel demo [OUTDIR] [--presets DIR] [--plugin PATH]\n"
    "  orvel screenshot OUT.png [--preset FILE.zuo] [--plugin PATH]\n";

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? kExitUsage : 0;
    }
    Arguments args(argc, argv, 2);
    const char* command = argv[1];
    try {
        if (std::strcmp(command, "render") == 0) return runRender(args);
        if (std::strcmp(command, "info") == 0) return runInfo(args);
        if (std::strcmp(command, "programs") == 0) return runPrograms(args);
        if (std::strcmp(command, "preset") == 0) return runPreset(args);
        if (std::strcmp(command, "demo") == 0) return runDemo(args);
        if (std::strcmp(command, "screenshot") == 0) return runScreenshot(args);
        throw usageError(std::string("unknown command ") + command);
    } catch (const CliError& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return e.status();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return kExitFailure;
    }
}
