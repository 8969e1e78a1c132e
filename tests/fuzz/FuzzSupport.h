// What the fuzz targets share: a check that stops the run with its reason,
// whole-file reads and writes, and the least host a plug-in instance needs.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "plugin/vst24.h"

inline void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline std::string readFile(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0) text.append(buffer, n);
        std::fclose(f);
    }
    return text;
}

inline void writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    check(f != nullptr, "cannot write a scratch file");
    if (size > 0) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

inline VstIntPtr VSTCALLBACK fuzzHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}
