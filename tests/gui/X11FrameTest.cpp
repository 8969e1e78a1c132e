// The frame in a real X server (Xvfb): a parent window made here, the frame
// opened into it, synthetic mouse events delivered through the server, and
// the window's contents read back and compared with the headless rendering
// of the same views.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/SkinBitmaps.h"
#include "support/XvfbServer.h"

namespace {

// A button that steps through the images of its strip on each press, and a
// knob that follows vertical drags and the wheel.
class StepButton : public CMovieBitmap {
public:
    using CMovieBitmap::CMovieBitmap;
    CMouseEventResult onMouseDown(CPoint&, const CButtonState& b) override {
        if (b & kDoubleClick) ++doubleClicks;
        setValue(getValue() > 0.5f ? 0.f : 1.f);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    int doubleClicks = 0;
};

class DragKnob : public CMovieBitmap {
public:
    using CMovieBitmap::CMovieBitmap;
    CMouseEventResult onMouseDown(CPoint& p, const CButtonState&) override {
        lastY_ = p.y;
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
        if (!(b & kLButton)) return kMouseEventNotHandled;
        float v = getValue() + float(lastY_ - p.y) * ((b & kShift) ? 0.001f : 0.01f);
        lastY_ = p.y;
        setValue(v < 0 ? 0 : v > 1 ? 1 : v);
        return kMouseEventHandled;
    }
    CMouseEventResult onMouseUp(CPoint&, const CButtonState&) override { return kMouseEventHandled; }
    bool onWheel(const CPoint&, float d, const CButtonState&) override {
        float v = getValue() + 0.1f * d;
        setValue(v < 0 ? 0 : v > 1 ? 1 : v);
        return true;
    }

private:
    CCoord lastY_ = 0;
};

struct Panel {
    StepButton* button;
    DragKnob* knob;
};

Panel buildPanel(CFrame& frame) {
    frame.setBackground(skin::getBitmap(1000));
    auto* knob = new DragKnob(CRect(490, 344, 542, 396), nullptr, 0, 96, 52, skin::getBitmap(1044));
    knob->setValue(0.5f);
    auto* button = new StepButton(CRect(481, 304, 516, 316), nullptr, 41, 2, 12, skin::getBitmap(1002));
    frame.addView(knob);
    frame.addView(button);
    return {button, knob};
}

class X11Frame : public XServerTest {
protected:
    void SetUp() override {
        XServerTest::SetUp();
        if (display_) skin::acquireBitmaps();
    }
    void TearDown() override {
        if (display_) skin::releaseBitmaps();
        XServerTest::TearDown();
    }
    void send(Window w, int type, int x, int y, unsigned button, unsigned state, Time time) {
        sendPointerEvent(display_, w, type, x, y, button, state, time);
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
    Window root, parentOfChild, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, child, &root, &parentOfChild, &children, &count);
    if (children) XFree(children);
    EXPECT_EQ(parentOfChild, parent_);

    Panel live = buildPanel(frame);
    CFrame twin(CRect(0, 0, 682, 425), nullptr, nullptr);
    Panel model = buildPanel(twin);
    ASSERT_TRUE(idleUntil(frame, [&] { return frame.redrawCount() > 0; }));
    twin.idle();
    EXPECT_EQ(differences(child, twin.offscreen()), 0);

    // a click on the button through the server
    send(child, ButtonPress, 490, 310, Button1, 0, 1000);
    send(child, ButtonRelease, 490, 310, Button1, Button1Mask, 1050);
    ASSERT_TRUE(idleUntil(frame, [&] { return live.button->getValue() == 1.f; }));
    model.button->setValue(1.f);
    twin.idle();
    EXPECT_EQ(differences(child, twin.offscreen()), 0);

    // a second press within the double-click time
    send(child, ButtonPress, 491, 311, Button1, 0, 1200);
    ASSERT_TRUE(idleUntil(frame, [&] { return live.button->doubleClicks == 1; }));
    send(child, ButtonRelease, 491, 311, Button1, Button1Mask, 1210);

    // a drag up the knob by 20 pixels, then one wheel notch down
    send(child, ButtonPress, 510, 370, Button1, 0, 5000);
    send(child, MotionNotify, 510, 350, 0, Button1Mask, 5010);
    send(child, ButtonRelease, 510, 350, Button1, Button1Mask, 5020);
    ASSERT_TRUE(idleUntil(frame, [&] { return live.knob->getValue() > 0.69f; }));
    EXPECT_NEAR(live.knob->getValue(), 0.7f, 1e-5f);
    send(child, ButtonPress, 510, 350, Button5, 0, 6000);
    ASSERT_TRUE(idleUntil(frame, [&] { return live.knob->getValue() < 0.61f; }));
    model.button->setValue(live.button->getValue());
    model.knob->setValue(live.knob->getValue());
    twin.idle();
    EXPECT_EQ(differences(child, twin.offscreen()), 0);

    // an exposed window is shown again from the offscreen buffer
    int redraws = frame.redrawCount();
    XClearArea(display_, child, 0, 0, 0, 0, True);
    XFillRectangle(display_, child, DefaultGC(display_, DefaultScreen(display_)), 0, 0, 682, 425);
    XSync(display_, False);
    EXPECT_GT(differences(child, twin.offscreen()), 0);
    idleUntil(frame, [&] { return differences(child, twin.offscreen()) == 0; });
    EXPECT_EQ(differences(child, twin.offscreen()), 0);
    EXPECT_EQ(frame.redrawCount(), redraws); // no view was drawn for it
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
    SUCCEED();
}
