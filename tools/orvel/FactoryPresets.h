// The factory presets this tool knows by name: those built beside it
// (build/presets) and those installed for the user
// (${XDG_DATA_HOME:-$HOME/.local/share}/Tamblor/Orvel/Presets), each a preset
// root with default.zuo and one folder per bank.
#pragma once

#include <string>
#include <vector>

struct FactoryPreset {
    std::string folder; // the bank folder; empty for default.zuo in the root
    std::string name;   // the file name without ".zuo"
    std::string path;
};

// The preset roots that exist, the built one first.
std::vector<std::string> factoryPresetRoots();

// Every preset below root (default.zuo included), sorted by folder and name.
std::vector<FactoryPreset> listPresets(const std::string& root);

// What `--preset` names: an existing file, else a preset of the roots by its
// name ("Tape Echo"), by folder and name ("Creative/Tape Echo") or, when that
// is unique, by its name in any letter case. Throws CliError naming the
// presets there are when nothing (or more than one) matches.
std::string resolvePreset(const std::string& nameOrPath, const std::vector<std::string>& roots);
