// Finding a file by name below a folder.
#pragma once

#include <string>

// Searches root and then, depth-first, its subfolders for a file named
// fileName (case-sensitive; a folder's own files before its subfolders).
// The full path of the first match, or "" when nothing matches or root
// cannot be read.
std::string findFileInTree(const std::string& root, const std::string& fileName);
