// The orvel command: a small VST 2.4 host for the command line. It loads a
// plug-in through its entry point and works with it as a sequencer does:
// renders sound files through it, reports what it offers, times it, and
// builds and reads Orvel's preset files.
#include <cstdio>
#include <cstring>
#include <exception>

#include "Arguments.h"
#include "AtomicFile.h"
#include "CliError.h"
#include "Commands.h"
#include "Usage.h"
#include "plugin/ProductIdentity.h"

namespace {

bool asksForHelp(int argc, char** argv) {
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

bool is(const char* arg, const char* a, const char* b) { return std::strcmp(arg, a) == 0 || std::strcmp(arg, b) == 0; }

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (is(argv[1], "--help", "-h") || std::strcmp(argv[1], "help") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (is(argv[1], "--version", "-V")) {
        std::printf("orvel %s (%s %s, VST 2.4)\n", product::kVersionText, product::kVendor, product::kName);
        return 0;
    }
    const char* command = argv[1];
    if (const char* help = helpFor(command); help && asksForHelp(argc, argv)) {
        std::fputs(help, stdout);
        return 0;
    }
    removeTemporariesOnSignals();
    Arguments args(argc, argv, 2);
    try {
        if (std::strcmp(command, "render") == 0) return runRender(args);
        if (std::strcmp(command, "bench") == 0) return runBench(args);
        if (std::strcmp(command, "info") == 0) return runInfo(args);
        if (std::strcmp(command, "programs") == 0) return runPrograms(args);
        if (std::strcmp(command, "preset") == 0) return runPreset(args);
        if (std::strcmp(command, "demo") == 0) return runDemo(args);
        if (std::strcmp(command, "screenshot") == 0) return runScreenshot(args);
        throw usageError(std::string("unknown command ") + command + " (orvel --help lists them)");
    } catch (const CliError& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return e.status();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvel: %s\n", e.what());
        return kExitFailure;
    }
}
