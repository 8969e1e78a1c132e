#include "gui/DibImage.h"

#include <cstring>

namespace {

uint32_t readU32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t readU16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

// Images larger than this are refused: no skin comes near it, and it keeps
// the size arithmetic far from overflow.
constexpr int64_t kMaxPixels = int64_t(1) << 26;

bool decodeRows(const uint8_t* data, size_t size, size_t pixelOffset, DecodedImage& out) {
    if (size < 40) return false;
    uint32_t headerSize = readU32(data);
    if (headerSize < 40 || headerSize > size) return false;
    int32_t width = int32_t(readU32(data + 4));
    int32_t rawHeight = int32_t(readU32(data + 8));
    uint16_t planes = readU16(data + 12);
    uint16_t bits = readU16(data + 14);
    uint32_t compression = readU32(data + 16);
    if (planes != 1 || (bits != 24 && bits != 32) || compression != 0) return false;
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    bool topDown = rawHeight < 0;
    int64_t height = topDown ? -int64_t(rawHeight) : rawHeight;
    if (int64_t(width) * height > kMaxPixels) return false;
    int64_t stride = ((int64_t(width) * bits + 31) / 32) * 4;
    if (pixelOffset > size || int64_t(size - pixelOffset) < stride * height) return false;

    out.width = width;
    out.height = int32_t(height);
    out.hasAlpha = false;
    out.pixels.assign(size_t(width) * size_t(height), 0);
    const int bytes = bits / 8;
    bool anyAlpha = false;
    for (int64_t y = 0; y < height; ++y) {
        const uint8_t* row = data + pixelOffset + (topDown ? y : height - 1 - y) * stride;
        uint32_t* dst = &out.pixels[size_t(y) * size_t(width)];
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = row + x * bytes;
            uint32_t a = bytes == 4 ? p[3] : 255u;
            if (a != 255) anyAlpha = true;
            dst[x] = a << 24 | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
        }
    }
    // A 32-bit image whose fourth byte is zero everywhere carries no alpha.
    if (bytes == 4 && anyAlpha) {
        bool allZero = true;
        for (uint32_t px : out.pixels)
            if (px >> 24) {
                allZero = false;
                break;
            }
        if (allZero)
            for (uint32_t& px : out.pixels) px |= 0xFF000000u;
        else
            out.hasAlpha = true;
    }
    return true;
}

} // namespace

bool decodeDib(const uint8_t* data, size_t size, DecodedImage& out) {
    if (!data || size < 40) return false;
    uint32_t headerSize = readU32(data);
    uint32_t coloursUsed = readU32(data + 32);
    if (headerSize > size || coloursUsed > 256) return false;
    return decodeRows(data, size, size_t(headerSize) + size_t(coloursUsed) * 4, out);
}
