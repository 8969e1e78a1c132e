#include "state/FileTree.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kMaxDepth = 64; // a guard against links that loop

std::string search(const fs::path& folder, const std::string& fileName, int depth) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return std::string();
    std::vector<fs::path> files, folders;
    for (const fs::directory_entry& e : it) {
        std::error_code typeError;
        if (e.is_directory(typeError))
            folders.push_back(e.path());
        else if (e.is_regular_file(typeError))
            files.push_back(e.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& f : files)
        if (f.filename().string() == fileName) return f.string();
    if (depth >= kMaxDepth) return std::string();
    std::sort(folders.begin(), folders.end());
    for (const fs::path& sub : folders) {
        std::string found = search(sub, fileName, depth + 1);
        if (!found.empty()) return found;
    }
    return std::string();
}

} // namespace

std::string findFileInTree(const std::string& root, const std::string& fileName) {
    if (root.empty() || fileName.empty()) return std::string();
    try {
        return search(fs::path(root), fileName, 0);
    } catch (...) {
        return std::string(); // a name the platform cannot convert, or no memory
    }
}
