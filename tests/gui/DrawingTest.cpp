// Software drawing: bitmap decoding and its refusal of malformed data,
// clipping, strip blits and text, the frame's redraw of dirty views, and the
// skin as the module carries it.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/DibImage.h"
#include "gui/HeadlessWindow.h"
#include "gui/SkinBitmaps.h"

namespace {

void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + size_t(i)] = uint8_t(x >> (8 * i));
}

// A 3 x 2 image of 24 bits, rows padded to 12 bytes.
std::vector<uint8_t> dib() {
    std::vector<uint8_t> v(40 + 24, 0x80);
    std::fill(v.begin(), v.begin() + 40, 0);
    put32(v, 0, 40);
    put32(v, 4, 3);
    put32(v, 8, 2);
    v[12] = 1;
    v[14] = 24;
    return v;
}

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

// Fills its rectangle with its colour; counts its draws.
struct ColourView : CControl {
    ColourView(const CRect& r, uint32_t colour) : CControl(r), colour(colour) {}
    void draw(CDrawContext* c) override {
        ++draws;
        c->setFillColor(CColor::fromRgb(colour));
        c->fillRect(getViewSize());
    }
    uint32_t colour;
    int draws = 0;
};

struct FrameRig {
    CFrame frame{CRect(0, 0, 100, 80), nullptr, nullptr};
    HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(frame.getPlatformWindow()); }
    ColourView* add(const CRect& r, uint32_t colour) {
        auto* v = new ColourView(r, colour);
        frame.addView(v);
        return v;
    }
    // What the next idle shows of the frame.
    std::vector<CRect> shown() {
        window().clearPresented();
        frame.idle();
        return window().presented();
    }
};

bool sameImage(const CBitmap& b, int imageA, int imageB, int imageHeight) {
    for (int y = 0; y < imageHeight; ++y)
        for (int x = 0; x < b.getWidth(); ++x)
            if (b.pixel(x, imageA * imageHeight + y) != b.pixel(x, imageB * imageHeight + y)) return false;
    return true;
}

} // namespace

TEST(DibImage, MalformedDataIsRefused) {
    DecodedImage img;
    const std::vector<uint8_t> good = dib();
    EXPECT_FALSE(decodeDib(good.data(), good.size() - 1, img)); // one byte short
    EXPECT_FALSE(decodeDib(good.data(), 39, img));
    EXPECT_FALSE(decodeDib(nullptr, 0, img));
    const std::pair<size_t, uint32_t> damage[] = {
        {14, 8},          // a palette (the compression after it stays 0)
        {16, 1},          // compressed
        {4, 0x7FFFFFFF},  // an absurd width
        {8, 0x80000000u}, // INT32_MIN height
        {0, 0xFFFFFFF0u}, // a header beyond the data
        {32, 1000}};      // a colour table beyond the data
    for (const auto& [at, value] : damage) {
        std::vector<uint8_t> v = good;
        put32(v, at, value);
        EXPECT_FALSE(decodeDib(v.data(), v.size(), img)) << at;
    }

    // the good one decodes: every pixel the grey of its bytes
    ASSERT_TRUE(decodeDib(good.data(), good.size(), img));
    EXPECT_EQ(img.width, 3);
    EXPECT_EQ(img.height, 2);
    EXPECT_EQ(img.pixels, std::vector<uint32_t>(6, 0xFF808080u));
}

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

TEST(Frame, IdleRedrawsOnlyDirtyViews) {
    FrameRig rig;
    ColourView* a = rig.add(CRect(10, 10, 30, 30), 0x111111);
    ColourView* b = rig.add(CRect(50, 10, 70, 30), 0x222222);
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(0, 0, 100, 80)}); // the first full drawing
    const int redraws = rig.frame.redrawCount();
    EXPECT_TRUE(rig.shown().empty()); // nothing dirty: nothing drawn, nothing shown
    EXPECT_EQ(rig.frame.redrawCount(), redraws);

    b->colour = 0x999999;
    b->setDirty(true);
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(50, 10, 70, 30)});
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(rig.frame.offscreen().getPixel(60, 20), 0x999999u);
    EXPECT_EQ(rig.frame.offscreen().getPixel(20, 20), 0x111111u);

    // overlapping dirty rectangles are drawn once, as their union, each view
    // clipped to its own rectangle
    ColourView* c = rig.add(CRect(25, 25, 55, 35), 0x333333);
    a->setDirty();
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(10, 10, 55, 35)});
    EXPECT_EQ(c->draws, 1);
    EXPECT_EQ(b->draws, 3); // b meets the union

    rig.frame.removeView(b); // removing redraws its place
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(50, 10, 70, 30)});
    EXPECT_EQ(rig.frame.offscreen().getPixel(60, 20), 0u);
}

TEST(SkinBitmaps, EveryIdLoadsAndItsImagesDifferAndLineUpWithThePanel) {
    skin::acquireBitmaps();
    for (int id = 1000; id <= 1068; ++id) {
        const CBitmap* b = skin::getBitmap(id);
        ASSERT_TRUE(b && b->isLoaded() && b->getWidth() > 0 && b->getHeight() > 0) << id;
        EXPECT_FALSE(b->hasAlpha()) << id; // 24-bit images
    }
    for (int id : {999, 1069, -1}) EXPECT_EQ(skin::getBitmap(id), nullptr) << id;
    CBitmap* none = new CBitmap(1069);
    EXPECT_FALSE(none->isLoaded());
    none->forget();

    const CBitmap& panel = *skin::getBitmap(1000);
    EXPECT_EQ(panel.getWidth(), 682);
    EXPECT_EQ(panel.getHeight(), 425);
    // the master knob at (490, 344): 96 images of 52 x 52 drawn over the panel there
    const CBitmap& knob = *skin::getBitmap(1044);
    EXPECT_FALSE(sameImage(knob, 0, 95, 52));
    EXPECT_FALSE(sameImage(knob, 47, 48, 52));
    EXPECT_EQ(knob.pixel(0, 0), panel.pixel(490, 344));
    EXPECT_EQ(knob.pixel(51, 95 * 52 + 51), panel.pixel(541, 395));
    // a fader (the filter frequency at 412, 99): 128 images of 24 x 82
    const CBitmap& fader = *skin::getBitmap(1021);
    EXPECT_FALSE(sameImage(fader, 0, 127, 82));
    EXPECT_EQ(fader.pixel(0, 127 * 82 + 81), panel.pixel(412, 180));
    // two-state and three-state buttons and the output meter's 65 images: each unlike the one before
    const struct {
        int id, images;
    } strips[] = {{1002, 2}, {1003, 2}, {1005, 2}, {1015, 2}, {1024, 2}, {1028, 2}, {1037, 2},
                  {1052, 2}, {1060, 2}, {1049, 2}, {1032, 2}, {1001, 3}, {1036, 3}, {1043, 65}};
    for (const auto& s : strips) {
        const CBitmap& b = *skin::getBitmap(s.id);
        const int height = b.getHeight() / s.images;
        EXPECT_EQ(height * s.images, b.getHeight()) << s.id;
        for (int i = 1; i < s.images; ++i) EXPECT_FALSE(sameImage(b, i - 1, i, height)) << s.id << " image " << i;
    }
    skin::releaseBitmaps();
}
