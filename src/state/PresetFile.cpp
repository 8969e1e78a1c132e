#include "state/PresetFile.h"

#include <cstdio>
#include <memory>

#include "state/ZuChunk.h"

namespace {

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

bool readExactly(const std::string& path, void* dst, size_t n) {
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    return std::fread(dst, 1, n, f.get()) == n;
}

} // namespace

bool readPresetHeader(const std::string& path, uint8_t out[kPresetHeaderBytes]) {
    if (path.empty()) return false;
    return readExactly(path, out, kPresetHeaderBytes);
}

bool readPresetContent(const std::string& path, int32_t totalWords, std::vector<uint8_t>& out) {
    if (path.empty() || totalWords < kStateHeaderWords || totalWords > kMaxPresetWords) return false;
    const size_t bytes = static_cast<size_t>(totalWords) * 4;
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return false;
    // The size first, so that a header that lies costs no large allocation.
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return false;
    const long size = std::ftell(f.get());
    if (size < 0 || static_cast<unsigned long>(size) < bytes) return false;
    if (std::fseek(f.get(), 0, SEEK_SET) != 0) return false;
    std::vector<uint8_t> content(bytes);
    if (std::fread(content.data(), 1, bytes, f.get()) != bytes) return false;
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
