// Folder texts as the settings and the preset code build them: folders end
// in the platform's separator.
#pragma once

#include <cstddef>
#include <string>

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Appends the separator when path is not empty and does not end in one.
void ensureTrailingSeparator(std::string& path);
// The same on a zero-terminated buffer of capacity bytes; a full buffer is left as it is.
void ensureTrailingSeparator(char* path, size_t capacity);
