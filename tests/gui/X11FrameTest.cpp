// The frame in a real X server (Xvfb): a parent window made here, the frame
// opened into it, synthetic mouse events delivered through the server, and
// the window's contents read back and compared with the headless rendering
// of the same views.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <functional>
#include <string>

#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/SkinBitmaps.h"
#include "support/XvfbServer.h"

namespace {

// A knob strip that follows vertical drags and the wheel and counts double clicks.
struct DragKnob : CMovieBitmap {
    using CMovieBitmap::CMovieBitmap;
    CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
        doubleClicks += (b & kDoubleClick) != 0;
        lastY = p.y;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
        if (!(b & kLButton)) return kMouseEventNotHandled;
        setValue(getValue() + float(lastY - p.y) * 0.01f);
        lastY = p.y;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override { return kMouseEventHandled; }
    bool onWheel(const CPoint&, float d, const CButtonState&) override {
        setValue(getValue() + 0.1f * d);
        return true;
    }
    int doubleClicks = 0;
    CCoord lastY = 0;
};

DragKnob* buildPanel(CFrame& frame) {
    frame.setBackground(skin::getBitmap(1000));
    auto* knob = new DragKnob(CRect(490, 344, 542, 396), nullptr, 0, 96, 52, skin::getBitmap(1044));
    knob->setValue(0.5f);
    frame.addView(knob);
    return knob;
}

class X11Frame : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        skin::acquireBitmaps();
    }
    void TearDown() override {
        skin::releaseBitmaps();
        XServerTest::TearDown();
    }
    void send(Window w, int type, int y, unsigned button, unsigned state, Time time) {
        sendPointerEvent(display_, w, type, 510, y, button, state, time);
    }
    static bool idleUntil(CFrame& frame, const std::function<bool()>& done) {
        return XServerTest::idleUntil([&] { frame.idle(); }, done, 200);
    }
};

} // namespace

TEST_F(X11Frame, ShowsWhatTheHeadlessFrameDrawsAndTakesMouseInput) {
    CFrame frame(CRect(0, 0, 682, 425), reinterpret_cast<void*>(parent_), nullptr);
    ASSERT_TRUE(frame.isNative());
    Window child = Window(reinterpret_cast<uintptr_t>(frame.getPlatformWindow()->nativeHandle()));
    DragKnob* live = buildPanel(frame);
    CFrame twin(CRect(0, 0, 682, 425), nullptr, nullptr);
    DragKnob* model = buildPanel(twin);
    const auto differences = [&] { return windowDifferences(display_, child, twin.offscreen(), 682, 425); };
    ASSERT_TRUE(idleUntil(frame, [&] { return frame.redrawCount() > 0; }));
    twin.idle();
    EXPECT_EQ(differences(), 0);

    // two presses within the double-click time; a drag up by 20 pixels; one wheel notch down
    send(child, ButtonPress, 370, Button1, 0, 1000);
    send(child, ButtonRelease, 370, Button1, Button1Mask, 1050);
    send(child, ButtonPress, 371, Button1, 0, 1200);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->doubleClicks == 1; }));
    send(child, MotionNotify, 351, 0, Button1Mask, 1210);
    send(child, ButtonRelease, 351, Button1, Button1Mask, 1220);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->getValue() > 0.69f; }));
    EXPECT_NEAR(live->getValue(), 0.7f, 1e-5f);
    send(child, ButtonPress, 350, Button5, 0, 6000);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->getValue() < 0.61f; }));
    model->setValue(live->getValue());
    twin.idle();
    EXPECT_EQ(differences(), 0);

    // an exposed window is shown again from the offscreen buffer, no view drawn for it
    const int redraws = frame.redrawCount();
    XClearArea(display_, child, 0, 0, 0, 0, True);
    XFillRectangle(display_, child, DefaultGC(display_, DefaultScreen(display_)), 0, 0, 682, 425);
    XSync(display_, False);
    EXPECT_GT(differences(), 0);
    idleUntil(frame, [&] { return differences() == 0; });
    EXPECT_EQ(differences(), 0);
    EXPECT_EQ(frame.redrawCount(), redraws);
}

TEST_F(X11Frame, SurvivesABadParentAndAParentDestroyedFirst) {
    // not a window: the frame draws into memory only, and the process lives on
    CFrame lost(CRect(0, 0, 100, 100), reinterpret_cast<void*>(uintptr_t(0x3FFFFFF)), nullptr);
    EXPECT_FALSE(lost.isNative());
    lost.idle();
    EXPECT_EQ(lost.redrawCount(), 1);

    // the host destroys its window before it closes the editor
    Window doomed = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 200, 0, 0, 0);
    XMapWindow(display_, doomed);
    XSync(display_, False);
    auto* frame = new CFrame(CRect(0, 0, 200, 200), reinterpret_cast<void*>(doomed), nullptr);
    ASSERT_TRUE(frame->isNative());
    frame->idle();
    XDestroyWindow(display_, doomed);
    XSync(display_, False);
    frame->setDirty(true);
    frame->redrawDirty(); // presents to a window that is gone
    frame->idle();
    frame->setDirty(true);
    frame->idle();
    delete frame;
}
