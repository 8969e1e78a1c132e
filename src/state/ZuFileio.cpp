#include "state/ZuFileio.h"

#include "state/FileTree.h"

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
