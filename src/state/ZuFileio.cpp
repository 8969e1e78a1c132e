#include "state/ZuFileio.h"

#include <algorithm>

#include "state/FileTree.h"
#include "state/FolderListing.h"

namespace {
unsigned char folded(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}
} // namespace

bool listingOrderLess(const std::string& a, const std::string& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = folded(a[i]), y = folded(b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

void ZuFileio::listDirectory(const std::string& path, ZuCharList& out) {
    out.clear();
    std::vector<FolderEntry> entries;
    enumerateFolder(path, entries);
    std::vector<std::string> enclosing;
    bool enclosingKnown = false;
    std::vector<const FolderEntry*> kept;
    for (const FolderEntry& e : entries) {
        if (e.name.size() > kMaxListedName) continue;
        if (!e.identity.empty()) {
            if (!enclosingKnown) enclosing = enclosingFolderIdentities(path);
            enclosingKnown = true;
            if (std::find(enclosing.begin(), enclosing.end(), e.identity) != enclosing.end()) continue;
        }
        kept.push_back(&e);
    }
    std::sort(kept.begin(), kept.end(),
              [](const FolderEntry* a, const FolderEntry* b) { return listingOrderLess(a->name, b->name); });
    for (const FolderEntry* e : kept) out.add(e->name, e->directory);
}

void ZuFileio::listFiles(const std::string& path, ZuCharList& out) {
    ZuCharList all;
    listDirectory(path, all);
    out.clear();
    for (int32_t i = 0; i < all.count(); ++i)
        if (!all.isDirectory(i)) out.add(all.name(i), false);
}

std::string ZuFileio::findFileInTree(const std::string& root, const std::string& fileName) {
    return ::findFileInTree(root, fileName);
}
