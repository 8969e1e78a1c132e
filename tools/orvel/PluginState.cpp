#include "PluginState.h"

#include <filesystem>

#include "AtomicFile.h"
#include "CliError.h"
#include "PluginHost.h"
#include "StateLayout.h"

std::string programName(PluginHost& host, long n) {
    char name[256] = {};
    host.dispatch(effGetProgramNameIndexed, static_cast<VstInt32>(n), 0, name);
    name[sizeof(name) - 1] = 0;
    return name;
}

std::string defaultPluginPath() {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(ORVEL_DEFAULT_PLUGIN, ec)) return ORVEL_DEFAULT_PLUGIN;
    // A moved build: the plug-in sits in the folder above tools/, or beside the command.
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        for (const fs::path& candidate : {self.parent_path().parent_path() / "Orvel.so", self.parent_path() / "Orvel.so"})
            if (fs::exists(candidate, ec)) return candidate.string();
    return ORVEL_DEFAULT_PLUGIN;
}

void loadPresetFile(PluginHost& host, const std::string& path) {
    if (!host.isOrvel()) throw CliError("--preset takes Orvel presets; " + host.path() + " is not Orvel");
    std::vector<uint8_t> bytes = readWholeFile(path);
    PresetState state;
    try {
        state = parseStateLayout(bytes);
    } catch (const CliError& e) {
        throw CliError(path + " is not an Orvel preset: " + e.what());
    }
    if (state.productVersion > kProductVersion)
        throw CliError(path + " was written with a newer version of Orvel");
    bytes.resize(4 * static_cast<size_t>(state.totalWords));
    host.setChunk(std::move(bytes), true);
}

std::string selectProgram(PluginHost& host, long n) {
    const long count = host.effect().numPrograms;
    if (n < 0 || n >= count)
        throw CliError("program " + std::to_string(n) + " does not exist (the plug-in has " + std::to_string(count) +
                       " programs, 0 to " + std::to_string(count - 1) + ")");
    const std::string name = programName(host, n);
    if (!host.isOrvel()) {
        host.dispatch(effSetProgram, 0, n);
        return name;
    }
    if (name == kNoProgram) throw CliError("program " + std::to_string(n) + " has no preset");
    // Orvel loads nothing when asked for the program that is already current
    // (program 0 at start), as in any host. Step to a neighbour in the same
    // preset folder first. With a single preset in the folder, a step to 1
    // leaves the folder and -1 steps back to that folder's only preset.
    if (host.dispatch(effGetProgram) == n) {
        if (programName(host, n + 1) != kNoProgram && n + 1 < count) {
            host.dispatch(effSetProgram, 0, n + 1);
        } else if (n > 0) {
            host.dispatch(effSetProgram, 0, n - 1);
        } else {
            host.dispatch(effSetProgram, 0, 1);
            host.dispatch(effSetProgram, 0, -1);
            return name;
        }
    }
    host.dispatch(effSetProgram, 0, n);
    return name;
}
