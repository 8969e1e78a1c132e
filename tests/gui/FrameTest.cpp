// The frame redraws dirty views only; the editor's tests click through its hit testing.
#include <gtest/gtest.h>

#include "gui/CControl.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/HeadlessWindow.h"

namespace {

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

} // namespace

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

    c->setVisible(false); // hiding redraws what is under it
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(25, 25, 55, 35)});
    EXPECT_EQ(rig.frame.offscreen().getPixel(40, 32), 0u);

    rig.frame.removeView(b); // removing redraws its place
    EXPECT_EQ(rig.shown(), std::vector<CRect>{CRect(50, 10, 70, 30)});
    EXPECT_EQ(rig.frame.offscreen().getPixel(60, 20), 0u);
}
