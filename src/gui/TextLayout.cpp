#include "gui/TextLayout.h"

#include <algorithm>
#include <cstdlib>

namespace textlayout {

namespace {
// Where the face keeps the code's glyph; -1 when it has none.
int glyphIndex(int code) {
    if (code >= fontatlas::kFirstCode && code <= fontatlas::kLastCode && !(code >= 127 && code < 160))
        return code - fontatlas::kFirstCode;
    for (int i = 0; i < fontatlas::kExtraCount; ++i)
        if (fontatlas::kExtraCodes[i] == code) return fontatlas::kLastCode - fontatlas::kFirstCode + 1 + i;
    return -1;
}
} // namespace

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
        if (glyphIndex(code) < 0) code = '?';
        codes.push_back(code);
        p += length;
    }
    return codes;
}

const fontatlas::GlyphInfo& glyph(const fontatlas::FaceInfo& face, int code) {
    const int index = glyphIndex(code);
    return face.glyphs[index >= 0 ? index : '?' - fontatlas::kFirstCode];
}

int width(const fontatlas::FaceInfo& face, const std::vector<int>& codes) {
    int w = 0;
    for (int c : codes) w += glyph(face, c).advance;
    return w;
}

Placement place(const fontatlas::FaceInfo& face, const std::vector<int>& codes, const CRect& box, CHoriTxtAlign align) {
    const int textWidth = width(face, codes);
    CCoord penX = box.left;
    if (align == kCenterText)
        penX = box.left + (box.width() - textWidth) / 2;
    else if (align == kRightText)
        penX = box.right - textWidth;
    const CCoord baseline = box.top + (box.height() - (face.ascent + face.descent)) / 2 + face.ascent;
    return {penX, baseline};
}

CRect inkBox(const fontatlas::FaceInfo& face, const std::vector<int>& codes, const Placement& at) {
    CRect ink;
    bool any = false;
    CCoord penX = at.penX;
    for (int code : codes) {
        const fontatlas::GlyphInfo& g = glyph(face, code);
        if (g.width > 0 && g.height > 0) {
            const CRect r(penX + g.left, at.baseline - g.top, penX + g.left + g.width, at.baseline - g.top + g.height);
            if (!any) ink = r;
            ink.left = std::min(ink.left, r.left);
            ink.top = std::min(ink.top, r.top);
            ink.right = std::max(ink.right, r.right);
            ink.bottom = std::max(ink.bottom, r.bottom);
            any = true;
        }
        penX += g.advance;
    }
    return ink;
}

} // namespace textlayout
