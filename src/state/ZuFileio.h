// Folder listings for the preset library and the preset menu, in one order
// on every platform and file system: the program list and the host's chunks
// number folders by their place in it.
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

// The listing order: names compared with the letters a to z folded to upper
// case (as Windows shows them), every other byte by its value; names equal
// that way by their bytes.
bool listingOrderLess(const std::string& a, const std::string& b);

class ZuFileio {
public:
    // Every entry of the folder except "." and "..", in listing order; empty
    // when it cannot be read. A folder link that leads back to the folder or
    // to one it lies in is left out, so that a walk down the listings ends.
    static void listDirectory(const std::string& path, ZuCharList& out);
    // The same, files only.
    static void listFiles(const std::string& path, ZuCharList& out);
    // The full path of the first file of that name in root or, depth-first,
    // below it (a folder's own files first, names compared exactly); "" when
    // none. No folder is searched twice, however links join the tree.
    static std::string findFileInTree(const std::string& root, const std::string& fileName);
};
