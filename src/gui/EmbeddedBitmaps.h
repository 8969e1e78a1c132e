// The table of bitmap files linked into the shared object (generated with
// the skin at build time).
#pragma once

#include <cstdint>

struct EmbeddedBitmap {
    int32_t id;
    const uint8_t* begin;
    const uint8_t* end;
};

extern const EmbeddedBitmap kEmbeddedBitmaps[];
extern const int kEmbeddedBitmapCount;
