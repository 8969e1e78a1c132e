// The editor in a real X server: opened by the host's opcode into a parent
// window made here, clicked through the server (with the XTest extension when
// it is there, as a user's pointer would), and taken away on close.
#include <gtest/gtest.h>

// before X11's headers, whose macros (None) clash with names of ours
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#if defined(ORVEL_HAVE_XTEST)
#include <X11/extensions/XTest.h>
#endif

#include <functional>

#include "support/XvfbServer.h"

namespace {

class EditorX11 : public XServerTest {
protected:
    static bool idleUntil(EditorRig& rig, const std::function<bool()>& done) {
        return XServerTest::idleUntil([&] { rig.idle(); }, done);
    }

    // A left click at a point of the window, in the window's coordinates.
    void click(Window w, CPoint p) {
#if defined(ORVEL_HAVE_XTEST)
        int event, error, major, minor;
        if (XTestQueryExtension(display_, &event, &error, &major, &minor)) {
            int rx = 0, ry = 0;
            Window ignored;
            XTranslateCoordinates(display_, w, DefaultRootWindow(display_), p.x, p.y, &rx, &ry, &ignored);
            XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
            XTestFakeButtonEvent(display_, 1, True, CurrentTime);
            XTestFakeButtonEvent(display_, 1, False, CurrentTime);
            XSync(display_, False);
            return;
        }
#endif
        sendPointerEvent(display_, w, ButtonPress, p.x, p.y, Button1, 0, 1000);
        sendPointerEvent(display_, w, ButtonRelease, p.x, p.y, Button1, Button1Mask, 1050);
        XSync(display_, False);
    }
};

} // namespace

TEST_F(EditorX11, OpensIntoTheHostsWindowAndTakesARealClick) {
    EditorRig rig;
    ASSERT_EQ(rig.host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    CFrame* frame = rig.editor()->getFrame();
    ASSERT_TRUE(frame->isNative());
    const Window child = Window(reinterpret_cast<uintptr_t>(frame->getPlatformWindow()->nativeHandle()));
    Window root, parentOfChild, *children = nullptr;
    unsigned count = 0;
    XQueryTree(display_, child, &root, &parentOfChild, &children, &count);
    if (children) XFree(children);
    EXPECT_EQ(parentOfChild, parent_);
    ASSERT_TRUE(idleUntil(rig, [&] { return frame->redrawCount() > 0; }));

    // The gate's switch, clicked in the window: the gate goes off and its cover shows.
    ASSERT_FLOAT_EQ(rig.client->engine().cell[kTagGate], 0.5f);
    click(child, EditorRig::centre(rig.control(kTagGate)->getViewSize()));
    ASSERT_TRUE(idleUntil(rig, [&] { return rig.client->engine().cell[kTagGate] == 0.0f; }));
    EXPECT_TRUE(rig.control(92)->isVisible());

    rig.close();
    children = nullptr;
    XQueryTree(display_, parent_, &root, &parentOfChild, &children, &count);
    if (children) XFree(children);
    EXPECT_EQ(count, 0u); // closing takes the editor's window away
}
