// The frame: hit testing, event routing, the modal view, double clicks and
// the redraw of dirty views only.
#include <gtest/gtest.h>

#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/HeadlessWindow.h"
#include "gui/RecordingView.h"

namespace {

struct FrameRig {
    CFrame frame{CRect(0, 0, 100, 80), nullptr, nullptr};
    HeadlessWindow& window() { return *static_cast<HeadlessWindow*>(frame.getPlatformWindow()); }
    RecordingView* add(const CRect& r, uint32_t colour, CMouseEventResult down = kMouseEventHandled) {
        auto* v = new RecordingView(r, colour, down);
        frame.addView(v);
        return v;
    }
    void settle() {
        frame.idle();
        window().clearPresented();
    }
};

} // namespace

TEST(Frame, HitTestingTakesTheFirstVisibleChild) {
    FrameRig rig;
    RecordingView* a = rig.add(CRect(10, 10, 50, 50), 0x111111);
    RecordingView* b = rig.add(CRect(30, 30, 70, 70), 0x222222); // overlaps a, drawn above it
    EXPECT_EQ(rig.frame.getViewAt(CPoint(40, 40)), a);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(60, 60)), b);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(5, 5)), nullptr);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(50, 20)), nullptr); // right edge is outside
    a->setVisible(false);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(40, 40)), b);

    rig.window().mouseDown(CPoint(40, 40), kLButton, 1000);
    EXPECT_TRUE(a->events.empty());
    EXPECT_EQ(b->events.size(), 1u);

    // into containers
    auto* box = new CViewContainer(CRect(0, 60, 100, 80));
    auto* inner = new RecordingView(CRect(80, 70, 90, 80), 0x333333);
    box->addView(inner);
    rig.frame.addView(box);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(85, 75)), inner);
    EXPECT_EQ(rig.frame.getViewAt(CPoint(5, 75)), box);
}

TEST(Frame, IdleRedrawsOnlyDirtyViews) {
    FrameRig rig;
    RecordingView* a = rig.add(CRect(10, 10, 30, 30), 0x111111);
    RecordingView* b = rig.add(CRect(50, 10, 70, 30), 0x222222);
    rig.frame.idle(); // the first full drawing
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(0, 0, 100, 80)}));
    EXPECT_EQ(a->draws, 1);
    rig.window().clearPresented();

    // nothing dirty: nothing drawn, nothing shown
    int redraws = rig.frame.redrawCount();
    rig.frame.idle();
    rig.frame.idle();
    EXPECT_EQ(rig.frame.redrawCount(), redraws);
    EXPECT_TRUE(rig.window().presented().empty());
    EXPECT_EQ(a->draws + b->draws, 2);

    // one view changes: only its rectangle is drawn and shown
    b->setColour(0x999999);
    rig.frame.idle();
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(50, 10, 70, 30)}));
    EXPECT_EQ(a->draws, 1);
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(rig.frame.offscreen().getPixel(60, 20), 0x999999u);
    EXPECT_EQ(rig.frame.offscreen().getPixel(20, 20), 0x111111u);
    rig.window().clearPresented();

    // a view drawn over its neighbour's edge is clipped to its own rectangle
    // and both overlapping dirty rectangles are drawn once, as their union
    RecordingView* c = rig.add(CRect(25, 25, 55, 35), 0x333333);
    a->setDirty();
    rig.frame.idle();
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(10, 10, 55, 35)}));
    EXPECT_EQ(c->draws, 1);
    EXPECT_EQ(b->draws, 3); // b meets the union
    rig.window().clearPresented();

    // hiding a view redraws what is under it
    c->setVisible(false);
    rig.frame.idle();
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(25, 25, 55, 35)}));
    EXPECT_EQ(rig.frame.offscreen().getPixel(40, 32), 0u);
    EXPECT_EQ(c->draws, 1);
    rig.window().clearPresented();

    // an expose shows the offscreen again without drawing any view
    int drawsBefore = a->draws;
    rig.window().expose(CRect(0, 0, 20, 20));
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(0, 0, 20, 20)}));
    EXPECT_EQ(a->draws, drawsBefore);

    // removing a view redraws its place
    rig.window().clearPresented();
    rig.frame.removeView(b);
    rig.frame.idle();
    EXPECT_EQ(rig.window().presented(), (std::vector<CRect>{CRect(50, 10, 70, 30)}));
    EXPECT_EQ(rig.frame.offscreen().getPixel(60, 20), 0u);
}
