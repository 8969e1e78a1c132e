#include <windows.h>

#include <cstring>

#include "state/ZuFileio.h"

void ZuFileio::listDirectory(const std::string& path, ZuCharList& out) {
    out.clear();
    if (path.empty()) return;
    const char last = path.back();
    const std::string pattern = (last == '\\' || last == '/') ? path + "*" : path + "\\*";
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(pattern.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = found.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (std::strlen(name) > kMaxListedName) continue;
        out.add(name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileA(h, &found));
    FindClose(h);
}
