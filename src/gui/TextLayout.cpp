#include "gui/TextLayout.h"

#include <cstdlib>

namespace textlayout {

const fontatlas::FaceInfo& faceFor(const CFontDesc& font) {
    bool bold = (font.style & kBoldFace) != 0;
    const fontatlas::FaceInfo* best = &fontatlas::kFaces[0];
    int bestDistance = 1 << 30;
    for (int i = 0; i < fontatlas::kFaceCount; ++i) {
        const fontatlas::FaceInfo& f = fontatlas::kFaces[i];
        if (f.bold != bold) continue;
        int d = std::abs(f.pixelSize - int(font.size));
        if (d < bestDistance) {
            bestDistance = d;
            best = &f;
        }
    }
    return *best;
}

std::vector<int> decode(const char* text) {
    std::vector<int> codes;
    if (!text) return codes;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int code = *p;
        int length = 1;
        if ((p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80) {
            code = (p[0] & 0x1F) << 6 | (p[1] & 0x3F);
            length = 2;
        } else if ((p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80) {
            code = (p[0] & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F);
            length = 3;
        }
        if (code < fontatlas::kFirstCode || code > fontatlas::kLastCode || (code >= 127 && code < 160)) code = '?';
        codes.push_back(code);
        p += length;
    }
    return codes;
}

const fontatlas::GlyphInfo& glyph(const fontatlas::FaceInfo& face, int code) {
    return face.glyphs[code - fontatlas::kFirstCode];
}

int width(const fontatlas::FaceInfo& face, const std::vector<int>& codes) {
    int w = 0;
    for (int c : codes) w += glyph(face, c).advance;
    return w;
}

} // namespace textlayout
