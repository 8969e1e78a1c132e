#include "gui/CDrawContext.h"

#include <cstdlib>

#include "gui/CBitmap.h"
#include "gui/TextLayout.h"

namespace {

inline uint32_t mix(uint32_t dst, uint32_t src, unsigned a) {
    // a in 0..255; rounded per channel
    unsigned inv = 255 - a;
    uint32_t r = (((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * inv + 127) / 255;
    uint32_t g = (((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * inv + 127) / 255;
    uint32_t b = ((src & 0xFF) * a + (dst & 0xFF) * inv + 127) / 255;
    return r << 16 | g << 8 | b;
}

} // namespace

CDrawContext::CDrawContext(uint32_t* pixels, CCoord width, CCoord height, CCoord stride)
    : pixels_(pixels), width_(width), height_(height), stride_(stride), clip_(0, 0, width, height) {}

void CDrawContext::setClipRect(const CRect& clip) {
    clip_ = clip;
    clip_.bound(CRect(0, 0, width_, height_));
}

void CDrawContext::blend(CCoord x, CCoord y, const CColor& c, unsigned coverage) {
    if (!clip_.pointInside(CPoint(x, y))) return;
    unsigned a = (unsigned(c.alpha) * coverage + 127) / 255;
    if (a == 0) return;
    uint32_t& dst = pixels_[y * stride_ + x];
    dst = a >= 255 ? c.rgb() : mix(dst, c.rgb(), a);
}

void CDrawContext::fillRect(const CRect& r) {
    CRect area = r;
    area.bound(clip_);
    if (area.isEmpty() || fillColor_.alpha == 0) return;
    for (CCoord y = area.top; y < area.bottom; ++y) {
        uint32_t* row = pixels_ + y * stride_;
        if (fillColor_.alpha == 255) {
            uint32_t rgb = fillColor_.rgb();
            for (CCoord x = area.left; x < area.right; ++x) row[x] = rgb;
        } else {
            for (CCoord x = area.left; x < area.right; ++x) row[x] = mix(row[x], fillColor_.rgb(), fillColor_.alpha);
        }
    }
}

void CDrawContext::drawRect(const CRect& r) {
    if (r.isEmpty()) return;
    CColor saved = fillColor_;
    fillColor_ = frameColor_;
    fillRect(CRect(r.left, r.top, r.right, r.top + 1));
    if (r.height() > 1) fillRect(CRect(r.left, r.bottom - 1, r.right, r.bottom));
    fillRect(CRect(r.left, r.top + 1, r.left + 1, r.bottom - 1));
    if (r.width() > 1) fillRect(CRect(r.right - 1, r.top + 1, r.right, r.bottom - 1));
    fillColor_ = saved;
}

void CDrawContext::drawLine(const CPoint& from, const CPoint& to) {
    CCoord x = from.x, y = from.y;
    CCoord dx = std::abs(to.x - x), dy = -std::abs(to.y - y);
    CCoord sx = x < to.x ? 1 : -1, sy = y < to.y ? 1 : -1;
    CCoord err = dx + dy;
    for (;;) {
        blend(x, y, frameColor_, 255);
        if (x == to.x && y == to.y) break;
        CCoord e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

CCoord CDrawContext::getStringWidth(const char* text) const {
    const fontatlas::FaceInfo& face = textlayout::faceFor(font_);
    return textlayout::width(face, textlayout::decode(text));
}

void CDrawContext::drawString(const char* text, const CRect& r, CHoriTxtAlign align) {
    const fontatlas::FaceInfo& face = textlayout::faceFor(font_);
    std::vector<int> codes = textlayout::decode(text);
    if (codes.empty() || fontColor_.alpha == 0) return;
    CRect saved = clip_;
    CRect area = r;
    area.bound(clip_);
    if (area.isEmpty()) return;
    clip_ = area;

    const textlayout::Placement at = textlayout::place(face, codes, r, align);
    CCoord penX = at.penX, baseline = at.baseline;

    for (int code : codes) {
        const fontatlas::GlyphInfo& g = textlayout::glyph(face, code);
        const unsigned char* coverage = face.coverage + g.offset;
        CCoord gx = penX + g.left, gy = baseline - g.top;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                unsigned c = coverage[y * g.width + x];
                if (c) blend(gx + x, gy + y, fontColor_, c);
            }
        penX += g.advance;
    }
    clip_ = saved;
}

void CDrawContext::blit(const CBitmap& bitmap, const CRect& dest, const CPoint& offset, BlitMode mode) {
    // The source area is dest's size at offset; both are cut to what exists.
    CRect area = dest;
    area.bound(clip_);
    CRect source(0, 0, bitmap.getWidth(), bitmap.getHeight());
    source.offset(dest.left - offset.x, dest.top - offset.y); // the bitmap placed in destination space
    area.bound(source);
    if (area.isEmpty()) return;
    const uint32_t key = bitmap.getTransparentColor().rgb();
    for (CCoord y = area.top; y < area.bottom; ++y) {
        const uint32_t* src = bitmap.pixels() + size_t(y - source.top) * size_t(bitmap.getWidth());
        uint32_t* dst = pixels_ + y * stride_;
        for (CCoord x = area.left; x < area.right; ++x) {
            uint32_t px = src[x - source.left];
            switch (mode) {
            case kBlitOpaque: dst[x] = px & 0xFFFFFFu; break;
            case kBlitColourKey:
                if ((px & 0xFFFFFFu) != key) dst[x] = px & 0xFFFFFFu;
                break;
            case kBlitAlpha: {
                unsigned a = px >> 24;
                if (a == 255)
                    dst[x] = px & 0xFFFFFFu;
                else if (a)
                    dst[x] = mix(dst[x], px & 0xFFFFFFu, a);
                break;
            }
            }
        }
    }
}

COffscreenContext::COffscreenContext(CCoord width, CCoord height)
    : CDrawContext(nullptr, width, height, width), buffer_(size_t(width) * size_t(height), 0) {
    setPixels(buffer_.data());
}
