#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "plugin/ProductIdentity.h"
#include "state/UserFolders.h"

namespace {

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry;
    struct passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

std::string xdgFolder(const char* variable, const char* fallbackBelowHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return value;
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + fallbackBelowHome;
}

} // namespace

std::string userConfigFolder() { return xdgFolder("XDG_CONFIG_HOME", "/.config"); }

std::string userDataFolder() { return xdgFolder("XDG_DATA_HOME", "/.local/share"); }

std::string defaultInstallPath(const char* productName) {
    const std::string data = userDataFolder();
    if (data.empty()) return {};
    return data + "/" + product::kVendor + "/" + productName + "/";
}
