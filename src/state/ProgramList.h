// The program list: up to 128 folders of presets read from the preset root,
// each preset kept whole in memory so that program changes never touch the disk.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "state/ZuChunk.h"

constexpr int32_t kMaxPresetFolders = 128;
constexpr size_t kEntryNameBytes = 65; // 64 characters and the terminator

struct PresetEntry {
    PresetEntry(std::vector<uint8_t> content, std::string entryName)
        : bytes(std::move(content)), chunk(bytes.data(), bytes.size()), name(std::move(entryName)) {}
    std::vector<uint8_t> bytes; // the file's layout; chunk reads it
    ZuChunk chunk;
    std::string name; // the file name without folder and extension
};

struct PresetFolder {
    std::string name = "empty";
    std::vector<std::unique_ptr<PresetEntry>> entries;
};

class ProgramList {
public:
    ProgramList(std::string extension = "zuo", int32_t expectedKind = 1, int32_t expectedCode = 41);

    // Rebuilds the list from the subfolders of root, folders and each
    // folder's presets in listing order (by name, see ZuFileio). Unreadable and foreign
    // files are left out silently; a missing root gives an empty list.
    void scan(const std::string& root);

    PresetEntry* entry(int32_t folder, int32_t index);
    // The entry's name cut to capacity - 1 (at most 64) characters, or "empty".
    void entryName(char* out, int32_t folder, int32_t index, size_t capacity = kEntryNameBytes);
    int32_t findFolder(const std::string& name) const;
    int32_t findEntry(int32_t folder, const std::string& name) const;

    int32_t folderCount() const { return folderCount_; }
    // 0 for a folder index outside the list.
    int32_t entryCount(int32_t folder) const;
    const std::string& root() const { return root_; }
    const std::string& folderName(int32_t folder) const { return folders_[static_cast<size_t>(folder)].name; }

private:
    void readFolder(const std::string& path, PresetFolder& into);
    std::unique_ptr<PresetEntry> readEntry(const std::string& path, std::string name) const;

    std::string root_;
    std::array<PresetFolder, kMaxPresetFolders> folders_;
    std::string extension_;
    int32_t expectedKind_;
    int32_t expectedCode_;
    int32_t folderCount_ = 0;
};
