// Replaces a whole file so that a failure never destroys what was there: the
// content goes to a temporary file in the same folder, is flushed to disk and
// only then renamed over the target. On failure the temporary is removed and
// the previous file (if any) is untouched. A symbolic link is followed: the
// file it points to is replaced, the link stays.
#pragma once

#include <cstddef>
#include <string>

bool writeFileAtomically(const std::string& path, const void* data, size_t size);
