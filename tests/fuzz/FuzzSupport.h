// What the fuzz targets share: a check that stops the run with its reason,
// whole-file writes of raw bytes, and the least host a plug-in instance needs.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/TempDir.h"
#include "plugin/vst24.h"

inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void writeFile(const std::string& path, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    writeBytes(path, std::vector<uint8_t>(bytes, bytes + size));
}

inline VstIntPtr VSTCALLBACK fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
