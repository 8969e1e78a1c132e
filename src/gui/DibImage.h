// Decoding of uncompressed device-independent bitmaps, the form Windows keeps
// bitmap resources in: an info header, then the rows. Malformed data is
// refused, never read past.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedImage {
    int32_t width = 0, height = 0;
    bool hasAlpha = false;          // 32-bit images with a non-opaque pixel
    std::vector<uint32_t> pixels;   // 0xAARRGGBB, rows from the top
};

// An info header followed by the pixel rows (24 or 32 bits, uncompressed).
bool decodeDib(const uint8_t* data, size_t size, DecodedImage& out);
