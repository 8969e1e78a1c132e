// Reading preset files from disk: the 20-byte header on its own first, then
// the whole layout it announces. Anything shorter than it claims is unreadable.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int32_t kPresetHeaderBytes = 20;
constexpr int32_t kMaxPresetWords = 4 * 1024 * 1024; // far above any layout a writer produces

// The first 20 bytes; false when the file is not a regular file, cannot be
// opened or is shorter.
bool readPresetHeader(const std::string& path, uint8_t out[kPresetHeaderBytes]);
// The first 4 x totalWords bytes; false when the file cannot be opened, is
// shorter, or totalWords is below the header size or above kMaxPresetWords.
bool readPresetContent(const std::string& path, int32_t totalWords, std::vector<uint8_t>& out);

// True for the separators that end a folder in a path.
bool isPathSeparator(char c);
// The name of the folder that contains the file: the text between the last
// two separators ("" when there are fewer than two).
std::string containingFolderName(const std::string& path);
