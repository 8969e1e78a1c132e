#include "FactoryPresets.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "AtomicFile.h"
#include "CliError.h"

namespace fs = std::filesystem;

namespace {

std::string installedRoot() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && data[0] == '/') base = data;
    else if (const char* home = std::getenv("HOME"); home && home[0] == '/') base = std::string(home) + "/.local/share";
    else return {};
    return base + "/Tamblor/Orvel/Presets";
}

std::string lowered(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string displayName(const FactoryPreset& p) { return p.folder.empty() ? p.name : p.folder + "/" + p.name; }

} // namespace

std::vector<std::string> factoryPresetRoots() {
    std::vector<std::string> roots;
    std::error_code ec;
    for (const std::string& root : {std::string(ORVEL_FACTORY_PRESET_DIR), installedRoot()})
        if (!root.empty() && fs::is_directory(root, ec) &&
            std::find(roots.begin(), roots.end(), root) == roots.end())
            roots.push_back(root);
    return roots;
}

std::vector<FactoryPreset> listPresets(const std::string& root) {
    std::vector<FactoryPreset> presets;
    std::vector<fs::path> bankFolders;
    auto addFolder = [&](const fs::path& folder, const std::string& bank) {
        std::error_code ec;
        for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
            std::error_code typeError;
            if (it->is_regular_file(typeError) && it->path().extension() == ".zuo")
                presets.push_back({bank, it->path().stem().string(), it->path().string()});
            else if (bank.empty() && it->is_directory(typeError))
                bankFolders.push_back(it->path());
        }
    };
    addFolder(root, "");
    for (const fs::path& folder : bankFolders) addFolder(folder, folder.filename().string());
    std::sort(presets.begin(), presets.end(), [](const FactoryPreset& a, const FactoryPreset& b) {
        return a.folder != b.folder ? a.folder < b.folder : a.name < b.name;
    });
    return presets;
}

std::string resolvePreset(const std::string& nameOrPath, const std::vector<std::string>& roots) {
    std::error_code ec;
    const fs::file_status status = fs::status(nameOrPath, ec);
    if (fs::is_regular_file(status)) return nameOrPath;
    if (fs::exists(status) && !fs::is_directory(status))
        throw CliError(nameOrPath + " is " + notRegularFile(nameOrPath) + "; a preset is a .zuo file");

    std::vector<FactoryPreset> all;
    for (const std::string& root : roots)
        for (FactoryPreset& p : listPresets(root)) all.push_back(std::move(p));
    // The first root that has a preset of that name wins, so a build's own
    // presets come before the installed ones.
    auto firstMatch = [&](auto matches) -> std::vector<FactoryPreset> {
        for (const std::string& root : roots) {
            std::vector<FactoryPreset> found;
            for (const FactoryPreset& p : all)
                if (p.path.rfind(root, 0) == 0 && matches(p)) found.push_back(p);
            if (!found.empty()) return found;
        }
        return {};
    };
    std::vector<FactoryPreset> found =
        firstMatch([&](const FactoryPreset& p) { return displayName(p) == nameOrPath || p.name == nameOrPath; });
    if (found.empty()) {
        const std::string wanted = lowered(nameOrPath);
        found = firstMatch([&](const FactoryPreset& p) {
            return lowered(displayName(p)) == wanted || lowered(p.name) == wanted;
        });
    }
    if (found.size() == 1) return found.front().path;

    std::string names;
    for (const FactoryPreset& p : found.empty() ? all : found) {
        const std::string n = displayName(p);
        if (names.find("\"" + n + "\"") != std::string::npos) continue;
        names += (names.empty() ? "" : ", ") + ("\"" + n + "\"");
    }
    if (found.size() > 1) throw CliError("\"" + nameOrPath + "\" names more than one preset: " + names);
    if (all.empty())
        throw CliError(nameOrPath + " is neither a preset file nor a factory preset (no factory presets are built "
                                    "or installed)");
    throw CliError(nameOrPath + " is neither a preset file nor a factory preset; the factory presets are " + names);
}
