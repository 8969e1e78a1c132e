#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

#include "state/FolderListing.h"

namespace {

std::string identityOf(const struct stat& st) {
    return std::to_string(static_cast<unsigned long long>(st.st_dev)) + ":" +
           std::to_string(static_cast<unsigned long long>(st.st_ino));
}

void addIdentity(std::vector<std::string>& out, const std::string& path) {
    std::string id = folderIdentity(path);
    if (!id.empty() && std::find(out.begin(), out.end(), id) == out.end()) out.push_back(std::move(id));
}

} // namespace

void enumerateFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    out.clear();
    if (folder.empty()) return;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    while (const dirent* e = readdir(dir)) {
        const char* name = e->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        // stat follows links, so a linked folder counts as a folder
        struct stat st;
        FolderEntry entry;
        entry.name = name;
        entry.directory = stat((prefix + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        if (entry.directory) entry.identity = identityOf(st); // links and bind mounts can lead back
        out.push_back(std::move(entry));
    }
    closedir(dir);
}

std::string folderIdentity(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::string();
    return identityOf(st);
}

std::vector<std::string> enclosingFolderIdentities(const std::string& folder) {
    std::vector<std::string> ids;
    if (folder.empty()) return ids;
    // along the path as written ("." first for a relative one) ...
    if (folder[0] != '/') addIdentity(ids, ".");
    for (size_t i = 0; i < folder.size(); ++i)
        if (folder[i] == '/') addIdentity(ids, i == 0 ? "/" : folder.substr(0, i));
    addIdentity(ids, folder);
    // ... and upwards from where it really is, until the top, which is its own parent
    std::string up = folder.back() == '/' ? folder : folder + "/";
    std::string previous = folderIdentity(up);
    for (int step = 0; step < 4096 && !previous.empty(); ++step) {
        up += "../";
        std::string id = folderIdentity(up);
        if (id.empty() || id == previous) break;
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
        previous = std::move(id);
    }
    return ids;
}
