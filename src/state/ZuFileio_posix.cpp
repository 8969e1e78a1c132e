#include <dirent.h>
#include <sys/stat.h>

#include <cstring>

#include "state/ZuFileio.h"

void ZuFileio::listDirectory(const std::string& path, ZuCharList& out) {
    out.clear();
    if (path.empty()) return;
    DIR* dir = opendir(path.c_str());
    if (!dir) return;
    const std::string prefix = path.back() == '/' ? path : path + "/";
    while (const dirent* e = readdir(dir)) {
        const char* name = e->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (std::strlen(name) > kMaxListedName) continue;
        // stat follows links, so a linked folder counts as a folder
        struct stat st;
        const bool folder = stat((prefix + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        out.add(name, folder);
    }
    closedir(dir);
}
