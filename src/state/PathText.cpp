#include "state/PathText.h"

#include <cstring>

void ensureTrailingSeparator(std::string& path) {
    if (!path.empty() && path.back() != kPathSeparator) path += kPathSeparator;
}

void ensureTrailingSeparator(char* path, size_t capacity) {
    if (!path) return;
    const size_t n = std::strlen(path);
    if (n == 0 || path[n - 1] == kPathSeparator || n + 2 > capacity) return;
    path[n] = kPathSeparator;
    path[n + 1] = 0;
}
