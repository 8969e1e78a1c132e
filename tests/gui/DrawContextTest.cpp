// Software drawing: clipping, strip blits and text.
#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace {

int countPixels(const CDrawContext& c, uint32_t rgb) {
    int n = 0;
    for (CCoord y = 0; y < c.getHeight(); ++y)
        for (CCoord x = 0; x < c.getWidth(); ++x) n += c.getPixel(x, y) == rgb;
    return n;
}

// The bounds of what is not black, and how many pixels are between black and white.
CRect inkBounds(const CDrawContext& c, int* partial = nullptr) {
    CRect r;
    bool any = false;
    for (CCoord y = 0; y < c.getHeight(); ++y)
        for (CCoord x = 0; x < c.getWidth(); ++x) {
            const uint32_t p = c.getPixel(x, y);
            if (partial) *partial += (p & 255) > 0 && (p & 255) < 255;
            if (p == 0) continue;
            const CRect at(x, y, x + 1, y + 1);
            if (any) r.unite(at); else r = at;
            any = true;
        }
    return r;
}

} // namespace

TEST(DrawContext, FillFrameAndBlitStayInsideClipAndBuffer) {
    COffscreenContext c(20, 10);
    c.setFillColor(CColor::fromRgb(0x123456));
    c.fillRect(CRect(-5, -5, 100, 100)); // larger than the buffer
    EXPECT_EQ(countPixels(c, 0x123456), 200);
    c.setClipRect(CRect(5, 2, 10, 8));
    c.setFillColor(kWhiteCColor);
    c.fillRect(CRect(0, 0, 20, 10));
    EXPECT_EQ(countPixels(c, 0xFFFFFF), 5 * 6);
    c.resetClipRect();
    c.setFillColor(kBlackCColor);
    c.fillRect(CRect(0, 0, 20, 10));
    c.setFrameColor(kWhiteCColor);
    c.drawRect(CRect(2, 2, 6, 5)); // outline of a 4 x 3 box: 10 pixels
    EXPECT_EQ(countPixels(c, 0xFFFFFF), 10);
    EXPECT_EQ(c.getPixel(5, 4), 0xFFFFFFu);

    // a strip of two 6 x 4 images: red 0x10 * (image + 1), green y, blue x
    auto* strip = new CBitmap(6, 8);
    for (CCoord y = 0; y < 8; ++y)
        for (CCoord x = 0; x < 6; ++x) strip->pixels()[y * 6 + x] = 0xFF000000u | uint32_t(0x10 * (y / 4 + 1)) << 16 | uint32_t(y % 4) << 8 | uint32_t(x);
    COffscreenContext b(10, 10);
    strip->draw(&b, CRect(-2, -1, 4, 3), CPoint(0, 4)); // image 1, partly above and left of the buffer
    EXPECT_EQ(b.getPixel(0, 0), 0x200102u);
    EXPECT_EQ(b.getPixel(3, 2), 0x200305u);
    strip->draw(&b, CRect(7, 8, 13, 12), CPoint());
    EXPECT_EQ(b.getPixel(9, 9), 0x100102u);
    b.setClipRect(CRect(0, 0, 5, 5));
    b.setFillColor(kBlackCColor);
    b.fillRect(CRect(0, 0, 10, 10));
    strip->draw(&b, CRect(3, 3, 9, 7), CPoint());
    EXPECT_EQ(b.getPixel(4, 4), 0x100101u);
    EXPECT_EQ(b.getPixel(9, 9), 0x100102u); // outside the clip: kept
    strip->forget();
}

TEST(DrawContext, TextIsMeasuredAlignedAndClipped) {
    COffscreenContext c(200, 30);
    c.setFont(CFontDesc{"Arial", 12, kNormalFace});
    EXPECT_EQ(c.getStringWidth(""), 0);
    const CCoord ww = c.getStringWidth("WW");
    EXPECT_GT(ww, c.getStringWidth("ii"));
    EXPECT_EQ(ww, 2 * c.getStringWidth("W"));
    // Latin-1 and UTF-8 both reach the accented letters; unknown ones become '?'
    EXPECT_EQ(c.getStringWidth("\xE9"), c.getStringWidth("\xC3\xA9"));
    EXPECT_EQ(c.getStringWidth("\xE2\x82\xAC"), c.getStringWidth("?"));
    c.setFont(CFontDesc{"Helvetica", 20, kNormalFace});
    EXPECT_GT(c.getStringWidth("WW"), ww);

    // "Mid" in a box from x 50 to 150: its ink sits inside it, within a
    // pixel or two of the box's left edge, right edge or centre
    int partial = 0;
    for (CHoriTxtAlign align : {kLeftText, kRightText, kCenterText}) {
        COffscreenContext t(200, 30);
        t.setFontColor(kWhiteCColor);
        t.drawString("Mid", CRect(50, 5, 150, 25), align);
        const CRect r = inkBounds(t, &partial);
        EXPECT_TRUE(r.top >= 5 && r.bottom <= 25 && r.left >= 50 && r.right <= 150) << align;
        const CCoord expectedLeft[] = {50, 100 - r.width() / 2, 150 - r.width()}; // by CHoriTxtAlign
        EXPECT_NEAR(r.left, expectedLeft[align], 2.0) << align;
    }
    EXPECT_GT(partial, 0); // antialiased

    COffscreenContext k(200, 30); // a long text is cut at the rectangle's edge
    k.setFontColor(kWhiteCColor);
    k.drawString("A very long line of text", CRect(10, 5, 40, 25), kLeftText);
    const CRect cut = inkBounds(k);
    EXPECT_GE(cut.left, 10);
    EXPECT_EQ(cut.right, 40);
}
