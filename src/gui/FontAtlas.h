// The glyph atlas compiled into the module: DejaVu Sans, plain and bold, at a
// set of pixel sizes, antialiased coverage per glyph for the codes 32..255
// (Latin-1) and the few further characters the panel's texts use, stored
// after them. Generated at build time.
#pragma once

#include <cstdint>

namespace fontatlas {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 255;
// The ellipsis and the right arrow of the information line's MIDI texts.
constexpr int kExtraCodes[] = {0x2026, 0x2192};
constexpr int kExtraCount = 2;

struct GlyphInfo {
    uint32_t offset; // into the face's coverage bytes
    int16_t width, height;
    int16_t left, top; // bitmap origin relative to the pen on the baseline
    int16_t advance;
};

struct FaceInfo {
    int pixelSize;
    bool bold;
    int ascent, descent, lineHeight;
    const GlyphInfo* glyphs; // kLastCode - kFirstCode + 1 entries, then kExtraCount
    const unsigned char* coverage;
};

extern const FaceInfo kFaces[];
extern const int kFaceCount;

} // namespace fontatlas
