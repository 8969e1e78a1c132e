#include "state/FileTree.h"

#include <set>

#include "state/FolderListing.h"
#include "state/PathText.h"
#include "state/ZuFileio.h"

namespace {

// Links can join a tree to itself any number of times; however it is made,
// no folder is entered twice, and the walk ends after these many.
constexpr int kMaxDepth = 64;
constexpr size_t kMaxFolders = 20000;

struct Search {
    const std::string& fileName;
    std::set<std::string> visited;
    size_t entered = 0;

    std::string in(const std::string& folder, int depth) {
        const std::string id = folderIdentity(folder);
        if (id.empty() || !visited.insert(id).second || ++entered > kMaxFolders) return std::string();
        ZuCharList listing;
        ZuFileio::listDirectory(folder, listing);
        for (int32_t i = 0; i < listing.count(); ++i)
            if (!listing.isDirectory(i) && listing.name(i) == fileName) return folder + listing.name(i);
        if (depth >= kMaxDepth) return std::string();
        for (int32_t i = 0; i < listing.count(); ++i) {
            if (!listing.isDirectory(i)) continue;
            std::string sub = folder + listing.name(i);
            ensureTrailingSeparator(sub);
            std::string found = in(sub, depth + 1);
            if (!found.empty() || entered > kMaxFolders) return found;
        }
        return std::string();
    }
};

} // namespace

std::string findFileInTree(const std::string& root, const std::string& fileName) {
    if (root.empty() || fileName.empty()) return std::string();
    try {
        std::string folder = root;
        ensureTrailingSeparator(folder);
        return Search{fileName, {}, 0}.in(folder, 0);
    } catch (...) {
        return std::string(); // no memory
    }
}
