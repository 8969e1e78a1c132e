// Folder listings for the preset library, in the file system's own
// enumeration order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kMaxListedName = 259; // longer names are not listed

// Zero-terminated names with a parallel directory flag (1 folder, 0 file).
class ZuCharList {
public:
    int32_t count() const { return static_cast<int32_t>(names_.size()); }
    const char* name(int32_t i) const { return names_[static_cast<size_t>(i)].c_str(); }
    bool isDirectory(int32_t i) const { return flags_[static_cast<size_t>(i)] != 0; }
    void add(std::string name, bool directory) {
        names_.push_back(std::move(name));
        flags_.push_back(directory ? 1 : 0);
    }
    void clear() {
        names_.clear();
        flags_.clear();
    }

private:
    std::vector<std::string> names_;
    std::vector<int8_t> flags_;
};

class ZuFileio {
public:
    // Every entry of the folder except "." and ".."; empty when it cannot be read.
    static void listDirectory(const std::string& path, ZuCharList& out);
    // The same, files only.
    static void listFiles(const std::string& path, ZuCharList& out);
    // The full path of the first file of that name in root or, depth-first,
    // below it (a folder's own files first, names compared exactly); "" when none.
    static std::string findFileInTree(const std::string& root, const std::string& fileName);
};
