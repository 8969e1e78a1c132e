#include <windows.h>

#include <algorithm>
#include <cstring>

#include "state/FolderListing.h"

namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

void addIdentity(std::vector<std::string>& out, std::string id) {
    if (!id.empty() && std::find(out.begin(), out.end(), id) == out.end()) out.push_back(std::move(id));
}

} // namespace

void enumerateFolder(const std::string& folder, std::vector<FolderEntry>& out) {
    out.clear();
    if (folder.empty()) return;
    const std::string prefix = isSeparator(folder.back()) ? folder : folder + "\\";
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((prefix + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const char* name = found.cFileName;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        FolderEntry entry;
        entry.name = name;
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // only a junction or a folder link can lead back to a folder above
        if (entry.directory && (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            entry.identity = folderIdentity(prefix + name);
        out.push_back(std::move(entry));
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

std::string folderIdentity(const std::string& path) {
    if (path.empty()) return std::string();
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string id;
    BY_HANDLE_FILE_INFORMATION info;
    char final[4096];
    if (GetFileInformationByHandle(h, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        const DWORD n = GetFinalPathNameByHandleA(h, final, sizeof(final), FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n > 0 && n < sizeof(final)) {
            id.assign(final, n);
            while (id.size() > 1 && isSeparator(id.back())) id.pop_back();
            for (char& c : id)
                if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        }
    }
    CloseHandle(h);
    return id;
}

std::vector<std::string> enclosingFolderIdentities(const std::string& folder) {
    std::vector<std::string> ids;
    if (folder.empty()) return ids;
    // along the path as written ...
    for (size_t i = 1; i < folder.size(); ++i)
        if (isSeparator(folder[i])) addIdentity(ids, folderIdentity(folder.substr(0, i + 1)));
    const std::string self = folderIdentity(folder);
    addIdentity(ids, self);
    // ... and every folder above its final path
    for (size_t i = self.size(); i-- > 0;)
        if (self[i] == '\\') addIdentity(ids, folderIdentity(self.substr(0, i + 1)));
    return ids;
}
