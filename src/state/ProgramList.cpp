#include "state/ProgramList.h"

#include <algorithm>
#include <cstring>

#include "state/PathText.h"
#include "state/PresetFile.h"
#include "state/ZuFileio.h"

ProgramList::ProgramList(std::string extension, int32_t expectedKind, int32_t expectedCode)
    : extension_(std::move(extension)), expectedKind_(expectedKind), expectedCode_(expectedCode) {}

void ProgramList::scan(const std::string& root) {
    std::string path = root;
    ensureTrailingSeparator(path);
    ZuCharList listing;
    ZuFileio::listDirectory(path, listing);
    for (PresetFolder& f : folders_) {
        f.name = "empty";
        f.entries.clear();
    }
    folderCount_ = 0;
    root_ = path;
    for (int32_t i = 0; i < listing.count() && folderCount_ < kMaxPresetFolders; ++i) {
        if (!listing.isDirectory(i)) continue;
        PresetFolder& folder = folders_[static_cast<size_t>(folderCount_)];
        readFolder(path + listing.name(i), folder);
        folder.name = listing.name(i);
        ++folderCount_;
    }
}

void ProgramList::readFolder(const std::string& path, PresetFolder& into) {
    ZuCharList files;
    ZuFileio::listFiles(path, files); // sorted by name already
    const std::string suffix = "." + extension_;
    std::string folder = path;
    ensureTrailingSeparator(folder);
    for (int32_t i = 0; i < files.count(); ++i) {
        const std::string file = files.name(i);
        if (file.size() < suffix.size() || file.compare(file.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::unique_ptr<PresetEntry> e = readEntry(folder + file, file.substr(0, file.size() - suffix.size()));
        if (e) into.entries.push_back(std::move(e));
    }
}

std::unique_ptr<PresetEntry> ProgramList::readEntry(const std::string& path, std::string name) const {
    uint8_t header[kPresetHeaderBytes];
    if (!readPresetHeader(path, header)) return nullptr;
    ZuChunk headerChunk(header, sizeof(header));
    if (!headerChunk.readHeader(true)) return nullptr;
    std::vector<uint8_t> content;
    if (!readPresetContent(path, headerChunk.totalWords, content)) return nullptr;
    auto e = std::make_unique<PresetEntry>(std::move(content), std::move(name));
    ZuChunk& c = e->chunk;
    c.readHeader(true);
    c.readInt(); // header length
    const int32_t kind = c.readInt();
    const int32_t layoutVersion = c.readInt();
    const int32_t code = layoutVersion > 1 ? c.readInt() : expectedCode_;
    if (c.overrun() || kind < expectedKind_ || code != expectedCode_) return nullptr;
    c.rewind();
    return e;
}

PresetEntry* ProgramList::entry(int32_t folder, int32_t index) {
    if (folder < 0 || folder >= folderCount_ || index < 0) return nullptr;
    auto& entries = folders_[static_cast<size_t>(folder)].entries;
    if (static_cast<size_t>(index) >= entries.size()) return nullptr;
    return entries[static_cast<size_t>(index)].get();
}

void ProgramList::entryName(char* out, int32_t folder, int32_t index, size_t capacity) {
    if (!out || capacity == 0) return;
    const PresetEntry* e = entry(folder, index);
    const std::string& name = e ? e->name : std::string("empty");
    const size_t n = std::min({name.size(), capacity - 1, kEntryNameBytes - 1});
    std::memcpy(out, name.data(), n);
    out[n] = 0;
}

int32_t ProgramList::findFolder(const std::string& name) const {
    for (int32_t i = 0; i < folderCount_; ++i)
        if (folders_[static_cast<size_t>(i)].name == name) return i;
    return -1;
}

int32_t ProgramList::findEntry(int32_t folder, const std::string& name) const {
    if (folder < 0 || folder >= folderCount_) return -1;
    const auto& entries = folders_[static_cast<size_t>(folder)].entries;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i]->name == name) return static_cast<int32_t>(i);
    return -1;
}

int32_t ProgramList::entryCount(int32_t folder) const {
    if (folder < 0 || folder >= folderCount_) return 0;
    return static_cast<int32_t>(folders_[static_cast<size_t>(folder)].entries.size());
}
