// The message window: its text layout, and the window itself in an X server
// of our own, closed by a key, by the OK button and by the window manager.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "gui/CDrawContext.h"
#include "gui/MessageBox.h"
#include "gui/MessageLayout.h"
#include "support/XvfbServer.h"

namespace {
COffscreenContext measuring() {
    COffscreenContext c(1, 1);
    c.setFont(CFontDesc{"Arial", 13, kNormalFace});
    return c;
}
} // namespace

TEST(MessageLayout, WrapsAtWordsLineFeedsAndInsideLongWordsAndSizesTheWindow) {
    const COffscreenContext m = measuring();
    const CCoord w = m.getStringWidth("one two");
    EXPECT_EQ(wrapMessageText(m, "one two three", w), (std::vector<std::string>{"one two", "three"}));
    EXPECT_EQ(wrapMessageText(m, "\t This is\nno valid", 1000), (std::vector<std::string>{"This is", "no valid"}));
    EXPECT_EQ(wrapMessageText(m, "a\n\nb", 1000), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(wrapMessageText(m, "", 1000), (std::vector<std::string>{""}));
    // A path wider than the width is broken between characters and loses none.
    const std::string path = "/home/someone/a/very/long/folder/name/that/does/not/fit/Preset.zuo";
    const std::vector<std::string> lines = wrapMessageText(m, path.c_str(), w);
    ASSERT_GT(lines.size(), 2u);
    std::string joined;
    for (const std::string& l : lines) {
        EXPECT_LE(m.getStringWidth(l.c_str()), w);
        joined += l;
    }
    EXPECT_EQ(joined, path);

    // The window around text and button.
    const MessageLayout l = layoutMessage(m, "Short");
    EXPECT_EQ(l.lines.size(), 1u);
    EXPECT_GT(l.button.top, l.textArea.bottom);
    EXPECT_EQ(l.button.left + l.button.right, l.width); // centred
    // A very long text is cut to a window that fits on a screen.
    std::string many;
    for (int i = 0; i < 200; ++i) many += "line\n";
    const MessageLayout tall = layoutMessage(m, many.c_str());
    EXPECT_EQ(tall.lines.size(), 40u);
    EXPECT_LT(tall.height, 800);
}

namespace {

class MessageWindow : public XServerTest {
protected:
    // Shows the box on a thread of its own, as a host's user-interface thread
    // would, and returns its window once it is mapped (0 when it never is).
    Window show(const char* text) {
        closed_ = false;
        thread_ = std::thread([this, text] {
            detail::showPlatformMessageBox("Orvel", text);
            closed_ = true;
        });
        for (int i = 0; i < 400; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(10)))
            if (Window w = mappedBox()) return w;
        return 0;
    }
    // The viewable top-level window titled as the box.
    Window mappedBox() {
        Window root, parent, *children = nullptr, found = 0;
        unsigned count = 0;
        XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
        for (unsigned k = 0; k < count && !found; ++k) {
            char* name = nullptr;
            XWindowAttributes a;
            if (XFetchName(display_, children[k], &name) && name && std::string(name) == "Orvel" &&
                XGetWindowAttributes(display_, children[k], &a) && a.map_state == IsViewable)
                found = children[k];
            if (name) XFree(name);
        }
        if (children) XFree(children);
        return found;
    }
    bool closes() {
        for (int i = 0; i < 400 && !closed_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (closed_) thread_.join();
        return closed_;
    }
    void sendKey(Window w, KeySym key) {
        XEvent e{};
        e.xkey.type = KeyPress;
        e.xkey.display = display_;
        e.xkey.window = w;
        e.xkey.root = DefaultRootWindow(display_);
        e.xkey.keycode = XKeysymToKeycode(display_, key);
        e.xkey.same_screen = True;
        XSendEvent(display_, w, False, KeyPressMask, &e);
        XSync(display_, False);
    }
    void click(Window w, CCoord x, CCoord y, CCoord releaseX, CCoord releaseY) {
        sendPointerEvent(display_, w, ButtonPress, int(x), int(y), Button1, 0, CurrentTime);
        sendPointerEvent(display_, w, ButtonRelease, int(releaseX), int(releaseY), Button1, Button1Mask, CurrentTime);
    }
    // Closes a box that a failed check left open.
    void TearDown() override {
        if (thread_.joinable()) {
            if (Window w = display_ ? mappedBox() : 0) sendKey(w, XK_Escape);
            thread_.join();
        }
        XServerTest::TearDown();
    }

    std::thread thread_;
    std::atomic<bool> closed_{false};
};

} // namespace

TEST_F(MessageWindow, ShowsTheTextAndClosesWithReturnTheOkButtonOrTheWindowManager) {
    const char* text = "\t This is no valid Orvel format!";
    Window box = show(text);
    ASSERT_NE(box, 0u);
    EXPECT_FALSE(closed_); // modal: the call waits

    // What the window shows is what the toolkit draws for the layout.
    COffscreenContext m = measuring();
    const MessageLayout l = layoutMessage(m, text);
    COffscreenContext expected(l.width, l.height);
    expected.setFont(m.getFont());
    drawMessage(expected, l, false);
    long bad = -1;
    for (int attempt = 0; attempt < 100 && bad != 0; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        bad = windowDifferences(display_, box, expected, int(l.width), int(l.height));
    }
    EXPECT_EQ(bad, 0);

    // Other keys, and a press on the button released outside it, do nothing.
    sendKey(box, XK_a);
    click(box, l.button.left + 5, l.button.top + 5, 2, 2);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(closed_);
    sendKey(box, XK_Return);
    ASSERT_TRUE(closes());

    box = show(text);
    ASSERT_NE(box, 0u);
    click(box, l.button.left + 5, l.button.top + 5, l.button.left + 6, l.button.top + 6);
    ASSERT_TRUE(closes());

    box = show(text);
    ASSERT_NE(box, 0u);
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = box;
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    XSendEvent(display_, box, False, NoEventMask, &e);
    XSync(display_, False);
    EXPECT_TRUE(closes());
}

namespace {
int gHostErrors = 0, gHostConnectionLosses = 0;
const XErrorHandler countHostError = [](Display*, XErrorEvent*) { ++gHostErrors; return 0; };
const XIOErrorHandler countHostConnectionLoss = [](Display*) { ++gHostConnectionLosses; return 0; };
} // namespace

TEST_F(MessageWindow, OutlivesItsServerAndLeavesTheHostsHandlersAsTheyWere) {
    XErrorHandler before = XSetErrorHandler(countHostError);
    XIOErrorHandler beforeIO = XSetIOErrorHandler(countHostConnectionLoss);
    gHostErrors = gHostConnectionLosses = 0;
    ASSERT_NE(show("The X server goes away while this is open"), 0u);
    // While the box is open the host's own errors still reach its handler.
    XDestroyWindow(display_, 0x3FFFFFFF);
    XSync(display_, False);
    EXPECT_EQ(gHostErrors, 1);
    // The host's connection goes with the server; the box's loss must neither
    // reach the host's handler nor end the process.
    XCloseDisplay(display_);
    display_ = nullptr;
    stopServer();
    EXPECT_TRUE(closes());
    EXPECT_EQ(gHostConnectionLosses, 0);
    EXPECT_EQ(XSetErrorHandler(before), countHostError);
    EXPECT_EQ(XSetIOErrorHandler(beforeIO), countHostConnectionLoss);
}
