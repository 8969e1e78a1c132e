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

TEST(Frame, MouseTrackingAndWheel) {
    FrameRig rig;
    RecordingView* a = rig.add(CRect(10, 10, 50, 50), 0x111111);
    RecordingView* oneShot = rig.add(CRect(60, 10, 90, 50), 0x222222, kMouseDownEventHandledButDontNeedMovedOrUpEvents);

    rig.window().setFocused(false);
    rig.window().mouseDown(CPoint(20, 20), kLButton | kShift, 100);
    EXPECT_EQ(rig.window().focusRequests(), 1); // a press takes the keyboard focus
    EXPECT_TRUE(rig.window().captured());
    EXPECT_EQ(rig.frame.getFocusView(), a);
    rig.window().mouseMoved(CPoint(95, 70), kLButton | kShift); // outside: still the tracking view's
    rig.window().mouseUp(CPoint(95, 70), kLButton);
    EXPECT_FALSE(rig.window().captured());
    EXPECT_EQ(a->events, (std::vector<std::string>{"down", "moved", "up"}));
    EXPECT_EQ(a->lastPoint, CPoint(95, 70));
    // no button down: moves go nowhere
    rig.window().mouseMoved(CPoint(20, 20), 0);
    EXPECT_EQ(a->events.size(), 3u);

    rig.window().mouseDown(CPoint(70, 20), kRButton, 5000);
    rig.window().mouseMoved(CPoint(71, 20), kRButton);
    rig.window().mouseUp(CPoint(71, 20), kRButton);
    EXPECT_EQ(oneShot->events, (std::vector<std::string>{"down"}));
    EXPECT_EQ(oneShot->lastButtons, kRButton);
    EXPECT_EQ(rig.window().focusRequests(), 1); // already focused

    rig.window().wheel(CPoint(30, 30), -2.f, 0);
    EXPECT_EQ(a->wheel, -2.f);
    rig.window().wheel(CPoint(5, 5), 1.f, 0); // nothing there
    EXPECT_EQ(a->wheel, -2.f);
}

TEST(Frame, DoubleClickNeedsSameButtonInTimeAndPlace) {
    FrameRig rig;
    RecordingView* a = rig.add(CRect(0, 0, 100, 80), 0x111111);
    auto down = [&](CPoint p, CButtonState b, uint32_t t) {
        rig.window().mouseDown(p, b, t);
        bool dbl = (a->lastButtons & kDoubleClick) != 0;
        rig.window().mouseUp(p, b);
        return dbl;
    };
    EXPECT_FALSE(down(CPoint(10, 10), kLButton, 1000));
    EXPECT_TRUE(down(CPoint(12, 13), kLButton, 1500));  // 500 ms, 3 px: a double click
    EXPECT_FALSE(down(CPoint(12, 13), kLButton, 1600)); // a third press starts over
    EXPECT_FALSE(down(CPoint(12, 13), kLButton, 2101)); // 501 ms after the last
    EXPECT_FALSE(down(CPoint(17, 13), kLButton, 2200)); // 5 px away
    EXPECT_FALSE(down(CPoint(17, 13), kRButton, 2300)); // another button
    EXPECT_TRUE(down(CPoint(17, 13), kRButton, 2400));
    // the millisecond clock wraps
    EXPECT_FALSE(down(CPoint(17, 13), kLButton, 0xFFFFFF00u));
    EXPECT_TRUE(down(CPoint(17, 13), kLButton, 0x00000010u));
}

TEST(Frame, ModalViewTakesEveryMouseEventAndDrawsOnTop) {
    FrameRig rig;
    RecordingView* under = rig.add(CRect(0, 0, 100, 80), 0x111111);
    RecordingView* popup = rig.add(CRect(20, 20, 60, 60), 0xAAAAAA);
    RecordingView* later = rig.add(CRect(40, 40, 80, 70), 0x555555); // added after the pop-up
    rig.frame.setModalView(popup);
    rig.settle();
    // the pop-up is on top even of views added after it
    EXPECT_EQ(rig.frame.offscreen().getPixel(50, 50), 0xAAAAAAu);
    EXPECT_EQ(rig.frame.offscreen().getPixel(70, 65), 0x555555u);

    rig.window().mouseDown(CPoint(5, 5), kLButton, 10); // outside the pop-up: still the pop-up's
    rig.window().mouseMoved(CPoint(6, 6), kLButton);
    rig.window().mouseUp(CPoint(6, 6), kLButton);
    rig.window().wheel(CPoint(70, 65), 1.f, 0);
    EXPECT_EQ(popup->events, (std::vector<std::string>{"down", "moved", "up", "wheel"}));
    EXPECT_TRUE(under->events.empty());
    EXPECT_TRUE(later->events.empty());
    // moves without a button reach the modal view too (menus follow the mouse)
    rig.window().mouseMoved(CPoint(30, 30), 0);
    EXPECT_EQ(popup->events.back(), "moved");

    // a redraw overlapping it: the view below redraws, the pop-up stays on top
    later->setColour(0x666666);
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(50, 50), 0xAAAAAAu);
    EXPECT_EQ(rig.frame.offscreen().getPixel(70, 65), 0x666666u);

    rig.frame.setModalView(nullptr);
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(50, 50), 0x666666u);
    rig.window().mouseDown(CPoint(5, 5), kLButton, 5000);
    EXPECT_EQ(under->events.size(), 1u);
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

TEST(Frame, BackgroundBitmapAndStripControls) {
    FrameRig rig;
    CBitmap* back = new CBitmap(100, 80);
    for (int i = 0; i < 100 * 80; ++i) back->pixels()[i] = 0xFF000000u | uint32_t(i);
    rig.frame.setBackground(back);
    EXPECT_EQ(back->getNbReference(), 2);
    CBitmap* strip = new CBitmap(10, 40); // 4 images of 10 x 10
    for (int i = 0; i < 400; ++i) strip->pixels()[i] = 0xFF000000u | uint32_t(0x100000 * (i / 100 + 1));
    auto* knob = new CMovieBitmap(CRect(30, 30, 40, 40), nullptr, 7, 4, 10, strip);
    strip->forget(); // the control keeps it
    rig.frame.addView(knob);
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(0, 1), 100u);
    EXPECT_EQ(rig.frame.offscreen().getPixel(35, 35), 0x100000u);
    knob->setValue(0.999f); // trunc(3 x 0.999) = 2
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(35, 35), 0x300000u);
    knob->setValue(1.0f);
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(35, 35), 0x400000u);
    knob->setValue(7.0f); // out of range: the last image, no read past the strip
    rig.frame.idle();
    EXPECT_EQ(rig.frame.offscreen().getPixel(35, 35), 0x400000u);
    back->forget();
}
