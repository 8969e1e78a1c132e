// orvel programs [--plugin PATH]: the program list as a host sees it. Orvel
// offers the presets of one folder (a bank) at a time and moves to the next
// bank when a host steps past the last program, so the command steps through
// the banks that way until it comes round to the first again.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Arguments.h"
#include "CliError.h"
#include "Commands.h"
#include "PluginHost.h"
#include "PluginState.h"

namespace {

constexpr int kMostBanks = 128;

// The named programs of the current bank, in program order.
std::vector<std::string> currentBank(PluginHost& host) {
    std::vector<std::string> names;
    const VstInt32 count = host.effect().numPrograms;
    for (VstInt32 i = 0; i < count; ++i) {
        const std::string name = programName(host, i);
        if (host.isOrvel() && name == kNoProgram) break;
        names.push_back(name);
    }
    return names;
}

void printBank(size_t number, const std::vector<std::string>& names) {
    std::printf("bank %zu (%zu program%s):\n", number, names.size(), names.size() == 1 ? "" : "s");
    for (size_t i = 0; i < names.size(); ++i) std::printf("  %3zu  %s\n", i, names[i].c_str());
}

} // namespace

int runPrograms(Arguments& args) {
    std::string plugin = defaultPluginPath();
    while (!args.done()) {
        const std::string option = args.take();
        if (option == "--plugin") plugin = args.valueOf(option);
        else throw usageError("programs: unknown argument " + option);
    }
    PluginHost host(plugin);
    std::printf("current program: \"%s\"\n", host.text(effGetProgramName).c_str());
    if (!host.isOrvel()) {
        std::vector<std::string> names = currentBank(host);
        names.erase(std::remove(names.begin(), names.end(), std::string()), names.end());
        printBank(1, names);
        return 0;
    }
    std::vector<std::vector<std::string>> banks;
    for (int step = 0; step < kMostBanks; ++step) {
        const std::vector<std::string> names = currentBank(host);
        // Back at the first bank (stepping passes over empty folders, so an
        // empty listing after the first means there is nothing else).
        if (step > 0 && (names.empty() || (!banks.empty() && names == banks.front()))) break;
        if (!names.empty()) banks.push_back(names);
        const VstIntPtr past = std::max<VstIntPtr>(static_cast<VstIntPtr>(names.size()), 1);
        host.dispatch(effSetProgram, 0, past);
    }
    size_t total = 0;
    for (size_t b = 0; b < banks.size(); ++b) {
        printBank(b + 1, banks[b]);
        total += banks[b].size();
    }
    std::printf("%zu program%s in %zu bank%s\n", total, total == 1 ? "" : "s", banks.size(), banks.size() == 1 ? "" : "s");
    return 0;
}
