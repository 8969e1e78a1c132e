// Software drawing into a block of 0x00RRGGBB pixels: rectangles, lines,
// bitmap blits and antialiased text, all clipped to a clip rectangle that
// never leaves the pixel block. COffscreenContext owns its pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/GuiTypes.h"

class CBitmap;

class CDrawContext {
public:
    enum BlitMode { kBlitOpaque, kBlitColourKey, kBlitAlpha };

    CDrawContext(uint32_t* pixels, CCoord width, CCoord height, CCoord stride);
    virtual ~CDrawContext() = default;

    CCoord getWidth() const { return width_; }
    CCoord getHeight() const { return height_; }
    uint32_t getPixel(CCoord x, CCoord y) const { return pixels_[y * stride_ + x] & 0xFFFFFFu; }
    const uint32_t* pixels() const { return pixels_; }
    CCoord stride() const { return stride_; }

    // The clip is always kept inside the pixel block.
    void setClipRect(const CRect& clip);
    CRect getClipRect() const { return clip_; }
    void resetClipRect() { clip_ = CRect(0, 0, width_, height_); }

    void setFrameColor(const CColor& c) { frameColor_ = c; }
    void setFillColor(const CColor& c) { fillColor_ = c; }
    void setFontColor(const CColor& c) { fontColor_ = c; }
    void setFont(const CFontDesc& f) { font_ = f; }
    CColor getFrameColor() const { return frameColor_; }
    CColor getFillColor() const { return fillColor_; }
    CColor getFontColor() const { return fontColor_; }
    const CFontDesc& getFont() const { return font_; }

    void fillRect(const CRect& r);
    // The one-pixel outline just inside r.
    void drawRect(const CRect& r);
    // A one-pixel line including both end points, in the frame colour.
    void drawLine(const CPoint& from, const CPoint& to);
    void moveTo(const CPoint& p) { pen_ = p; }
    void lineTo(const CPoint& p) {
        drawLine(pen_, p);
        pen_ = p;
    }

    // Text in the font colour, on one line centred vertically in r, aligned
    // horizontally, clipped to r.
    void drawString(const char* text, const CRect& r, CHoriTxtAlign align = kCenterText);
    CCoord getStringWidth(const char* text) const;

    // Copies the bitmap area that starts at offset into dest (both clipped).
    void blit(const CBitmap& bitmap, const CRect& dest, const CPoint& offset, BlitMode mode);

protected:
    void setPixels(uint32_t* pixels) { pixels_ = pixels; }

private:
    void blend(CCoord x, CCoord y, const CColor& c, unsigned coverage);

    uint32_t* pixels_;
    CCoord width_, height_, stride_;
    CRect clip_;
    CPoint pen_;
    CColor frameColor_ = kBlackCColor, fillColor_ = kWhiteCColor, fontColor_ = kWhiteCColor;
    CFontDesc font_;
};

class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CCoord width, CCoord height);

private:
    std::vector<uint32_t> buffer_;
};
