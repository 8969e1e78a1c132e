#include "state/PresetFile.h"

#include "state/RegularFile.h"
#include "state/ZuChunk.h"

bool readPresetHeader(const std::string& path, uint8_t out[kPresetHeaderBytes]) {
    RegularFileReader f;
    return f.open(path) == OpenOutcome::kOpened && f.read(out, kPresetHeaderBytes);
}

bool readPresetContent(const std::string& path, int32_t totalWords, std::vector<uint8_t>& out) {
    if (totalWords < kStateHeaderWords || totalWords > kMaxPresetWords) return false;
    const size_t bytes = static_cast<size_t>(totalWords) * 4;
    RegularFileReader f;
    // The size first, so that a header that lies costs no large allocation.
    if (f.open(path) != OpenOutcome::kOpened || f.size() < bytes) return false;
    std::vector<uint8_t> content(bytes);
    if (!f.read(content.data(), bytes)) return false;
    out.swap(content);
    return true;
}

bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/' || c == ':';
#else
    return c == '/';
#endif
}

std::string containingFolderName(const std::string& path) {
    size_t last = std::string::npos;
    for (size_t i = path.size(); i-- > 0;)
        if (isPathSeparator(path[i])) {
            last = i;
            break;
        }
    if (last == std::string::npos) return std::string();
    for (size_t i = last; i-- > 0;)
        if (isPathSeparator(path[i])) return path.substr(i + 1, last - i - 1);
    return std::string();
}
