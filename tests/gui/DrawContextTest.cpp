// Software drawing: clipping, strip blits, transparency and text.
#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace {

// A strip of 'count' images of w x h; image i is filled with colour 0x10 * (i + 1)
// in red, and its top-left pixel is white so offsets show.
CBitmap* makeStrip(int count, CCoord w, CCoord h) {
    CBitmap* b = new CBitmap(w, count * h);
    for (int i = 0; i < count; ++i)
        for (CCoord y = 0; y < h; ++y)
            for (CCoord x = 0; x < w; ++x)
                b->pixels()[(i * h + y) * w + x] = 0xFF000000u | uint32_t(0x10 * (i + 1)) << 16 | uint32_t(y) << 8 | uint32_t(x);
    return b;
}

int countPixels(const CDrawContext& c, uint32_t rgb) {
    int n = 0;
    for (CCoord y = 0; y < c.getHeight(); ++y)
        for (CCoord x = 0; x < c.getWidth(); ++x) n += c.getPixel(x, y) == rgb;
    return n;
}

CRect inkBounds(const CDrawContext& c, uint32_t background) {
    CRect r;
    bool any = false;
    for (CCoord y = 0; y < c.getHeight(); ++y)
        for (CCoord x = 0; x < c.getWidth(); ++x)
            if (c.getPixel(x, y) != background) {
                CRect p(x, y, x + 1, y + 1);
                if (!any) r = p; else r.unite(p);
                any = true;
            }
    return r;
}

} // namespace

TEST(DrawContext, FillAndFrameStayInsideClipAndBuffer) {
    COffscreenContext c(20, 10);
    c.setFillColor(CColor::fromRgb(0x123456));
    c.fillRect(CRect(-5, -5, 100, 100)); // larger than the buffer
    EXPECT_EQ(countPixels(c, 0x123456), 200);

    c.setFillColor(kBlackCColor);
    c.fillRect(CRect(0, 0, 20, 10));
    c.setClipRect(CRect(5, 2, 10, 8));
    c.setFillColor(kWhiteCColor);
    c.fillRect(CRect(0, 0, 20, 10));
    EXPECT_EQ(countPixels(c, 0xFFFFFF), 5 * 6);
    EXPECT_EQ(c.getPixel(4, 2), 0u);
    EXPECT_EQ(c.getPixel(10, 7), 0u);

    c.resetClipRect();
    c.setFillColor(kBlackCColor);
    c.fillRect(CRect(0, 0, 20, 10));
    c.setFrameColor(kWhiteCColor);
    c.drawRect(CRect(2, 2, 6, 5)); // outline of a 4 x 3 box: 10 pixels
    EXPECT_EQ(countPixels(c, 0xFFFFFF), 10);
    EXPECT_EQ(c.getPixel(5, 4), 0xFFFFFFu);
    EXPECT_EQ(c.getPixel(3, 3), 0u);
}

TEST(DrawContext, BlitIsClippedAtTheBufferEdges) {
    CBitmap* strip = makeStrip(2, 6, 4);
    COffscreenContext c(10, 10);
    strip->draw(&c, CRect(-2, -1, 4, 3), CPoint(0, 4)); // image 1, partly above and left of the buffer
    EXPECT_EQ(c.getPixel(0, 0), 0x200102u);
    EXPECT_EQ(c.getPixel(3, 2), 0x200305u);
    strip->draw(&c, CRect(7, 8, 13, 12), CPoint());
    EXPECT_EQ(c.getPixel(9, 9), 0x100102u);
    c.setClipRect(CRect(0, 0, 5, 5));
    c.setFillColor(kBlackCColor);
    c.fillRect(CRect(0, 0, 10, 10));
    strip->draw(&c, CRect(3, 3, 9, 7), CPoint());
    EXPECT_EQ(c.getPixel(4, 4), 0x100101u);
    EXPECT_EQ(c.getPixel(9, 9), 0x100102u); // outside the clip: kept
    strip->forget();
}

TEST(DrawContext, TextIsMeasuredAlignedAndClipped) {
    COffscreenContext c(200, 30);
    c.setFont(CFontDesc{"Arial", 12, kNormalFace});
    EXPECT_EQ(c.getStringWidth(""), 0);
    CCoord ii = c.getStringWidth("ii"), ww = c.getStringWidth("WW"), w = c.getStringWidth("W");
    EXPECT_GT(ii, 0);
    EXPECT_GT(ww, ii);
    EXPECT_EQ(ww, 2 * w);
    // a bigger font is wider; the family does not matter
    CFontDesc big{"Helvetica", 20, kNormalFace};
    c.setFont(big);
    EXPECT_GT(c.getStringWidth("WW"), ww);
    c.setFont(CFontDesc{"Times", 12, kNormalFace});
    EXPECT_EQ(c.getStringWidth("WW"), ww);
    // Latin-1 and UTF-8 both reach the accented letters; unknown ones become '?'
    EXPECT_EQ(c.getStringWidth("\xE9"), c.getStringWidth("\xC3\xA9"));
    EXPECT_EQ(c.getStringWidth("\xE2\x82\xAC"), c.getStringWidth("?"));

    c.setFontColor(kWhiteCColor);
    CRect box(50, 5, 150, 25);
    c.drawString("Mid", box, kLeftText);
    CRect left = inkBounds(c, 0);
    EXPECT_GE(left.left, 50);
    EXPECT_LE(left.left, 52);
    EXPECT_GE(left.top, 5);
    EXPECT_LE(left.bottom, 25);

    COffscreenContext r(200, 30);
    r.setFontColor(kWhiteCColor);
    r.drawString("Mid", box, kRightText);
    CRect right = inkBounds(r, 0);
    EXPECT_LE(right.right, 150);
    EXPECT_GE(right.right, 147);
    EXPECT_EQ(right.width(), left.width());

    COffscreenContext m(200, 30);
    m.setFontColor(kWhiteCColor);
    m.drawString("Mid", box, kCenterText);
    CRect centre = inkBounds(m, 0);
    EXPECT_NEAR((centre.left + centre.right) / 2.0, 100.0, 2.0);
    // antialiased: some pixels are between background and full colour
    int partial = 0;
    for (CCoord y = 0; y < 30; ++y)
        for (CCoord x = 0; x < 200; ++x) {
            uint32_t p = m.getPixel(x, y) & 255;
            partial += p > 0 && p < 255;
        }
    EXPECT_GT(partial, 0);

    // a long text is cut at the rectangle
    COffscreenContext k(200, 30);
    k.setFontColor(kWhiteCColor);
    k.drawString("A very long line of text", CRect(10, 5, 40, 25), kLeftText);
    CRect cut = inkBounds(k, 0);
    EXPECT_GE(cut.left, 10);
    EXPECT_LE(cut.right, 40);
    EXPECT_EQ(cut.right, 40); // it reached the edge and was clipped there
}
