// Windows in a real X server of the test's own (Xvfb, on a display number it
// picks itself, as DISPLAY while the test runs): the frame opened into a parent
// window made here and compared with the headless rendering, the message
// window, and the editor opened by the host's opcode and clicked through the
// server. Without Xvfb these tests are skipped.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// before X11's headers, whose macros (None) clash with names of ours
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/CMovieBitmap.h"
#include "gui/MessageBox.h"
#include "gui/MessageLayout.h"
#include "gui/SkinBitmaps.h"
#include "params/ParameterTags.h"
#include "support/EditorRig.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#if defined(ORVEL_HAVE_XTEST)
#include <X11/extensions/XTest.h>
#endif

extern char** environ;

namespace {

class XServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* old = std::getenv("DISPLAY")) oldDisplay_ = old;
        const std::string name = startServer();
        if (name.empty()) GTEST_SKIP() << "Xvfb could not be started; X11 windows are not tested";
        setenv("DISPLAY", name.c_str(), 1);
        display_ = XOpenDisplay(name.c_str());
        ASSERT_NE(display_, nullptr);
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 682, 425, 0, 0, 0);
        XMapWindow(display_, parent_);
        XSync(display_, False);
    }
    void TearDown() override {
        if (display_) {
            XDestroyWindow(display_, parent_);
            XCloseDisplay(display_);
        }
        stopServer();
        if (oldDisplay_)
            setenv("DISPLAY", oldDisplay_->c_str(), 1);
        else
            unsetenv("DISPLAY");
    }
    // Ends the server (its clients lose their connections); also done after the test.
    void stopServer() {
        if (pid_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = 0;
    }

    // Sends the event to the window through the server.
    void send(Window w, XEvent e, long mask) {
        e.xany.display = display_;
        e.xany.window = w;
        XSendEvent(display_, w, False, mask, &e);
        XSync(display_, False);
    }
    // A button press or release, or a motion: its event shares the button
    // event's layout, its is_hint where the button is (pass button 0).
    void sendPointer(Window w, int type, int x, int y, unsigned button, unsigned state, Time time) {
        XEvent e{};
        e.xbutton.type = type;
        e.xbutton.root = DefaultRootWindow(display_);
        e.xbutton.x = x;
        e.xbutton.y = y;
        e.xbutton.button = button;
        e.xbutton.state = state;
        e.xbutton.time = time;
        e.xbutton.same_screen = True;
        send(w, e, type == ButtonPress ? ButtonPressMask : type == ButtonRelease ? ButtonReleaseMask : PointerMotionMask);
    }
    // Pixels of the window's top left that differ from the drawing; -1 when unreadable.
    long differences(Window w, const CDrawContext& expected) {
        const int width = int(expected.getWidth()), height = int(expected.getHeight());
        XImage* image = XGetImage(display_, w, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
        if (!image) return -1;
        long bad = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) bad += (XGetPixel(image, x, y) & 0xFFFFFF) != expected.getPixel(x, y);
        XDestroyImage(image);
        return bad;
    }
    // The window's children, and its parent in *parent.
    std::vector<Window> childrenOf(Window w, Window* parent = nullptr) {
        Window root, up, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, w, &root, parent ? parent : &up, &children, &count);
        std::vector<Window> out(children, children + count);
        if (children) XFree(children);
        return out;
    }
    // Idles the frame or editor until the condition holds (events cross two connections).
    template <typename T> static bool idleUntil(T& idler, const std::function<bool()>& done) {
        for (int i = 0; i < 300; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
            idler.idle();
            if (done()) return true;
        }
        return false;
    }

    Display* display_ = nullptr;
    Window parent_ = 0;

private:
    // The display's name once the server accepts clients, "" when it did not start.
    std::string startServer() {
        int fds[2];
        if (pipe(fds) != 0) return "";
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24",
                              "-nolisten", "tcp", "-noreset", nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawnp(&pid_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        // The number and its line feed come in two writes, and a server whose
        // second write finds the pipe closed ends itself: read up to the line feed.
        std::string text;
        while (pid_ && text.find('\n') == std::string::npos) {
            char piece[32];
            pollfd p{fds[0], POLLIN, 0};
            const ssize_t n = poll(&p, 1, 10000) == 1 ? read(fds[0], piece, sizeof piece) : -1;
            if (n <= 0) break;
            text.append(piece, size_t(n));
        }
        close(fds[0]);
        const size_t end = text.find('\n');
        if (end != std::string::npos) return ":" + text.substr(0, end);
        stopServer();
        return "";
    }

    pid_t pid_ = 0;
    std::optional<std::string> oldDisplay_;
};

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

using X11Frame = XServerTest;

COffscreenContext measuring() {
    COffscreenContext c(1, 1);
    c.setFont(CFontDesc{"Arial", 13, kNormalFace});
    return c;
}

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
        for (Window w : childrenOf(DefaultRootWindow(display_))) {
            char* name = nullptr;
            XWindowAttributes a;
            const bool box = XFetchName(display_, w, &name) && name && std::string(name) == "Orvel" &&
                             XGetWindowAttributes(display_, w, &a) && a.map_state == IsViewable;
            if (name) XFree(name);
            if (box) return w;
        }
        return 0;
    }
    bool closes() {
        for (int i = 0; i < 400 && !closed_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (closed_) thread_.join();
        return closed_;
    }
    void sendKey(Window w, KeySym key) {
        XEvent e{};
        e.xkey.type = KeyPress;
        e.xkey.root = DefaultRootWindow(display_);
        e.xkey.keycode = XKeysymToKeycode(display_, key);
        e.xkey.same_screen = True;
        send(w, e, KeyPressMask);
    }
    void click(Window w, CCoord x, CCoord y, CCoord releaseX, CCoord releaseY) {
        sendPointer(w, ButtonPress, int(x), int(y), Button1, 0, CurrentTime);
        sendPointer(w, ButtonRelease, int(releaseX), int(releaseY), Button1, Button1Mask, CurrentTime);
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

int gHostErrors = 0, gHostConnectionLosses = 0;
const XErrorHandler countHostError = [](Display*, XErrorEvent*) { ++gHostErrors; return 0; };
const XIOErrorHandler countHostConnectionLoss = [](Display*) { ++gHostConnectionLosses; return 0; };

class EditorX11 : public XServerTest {
protected:
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
        sendPointer(w, ButtonPress, p.x, p.y, Button1, 0, 1000);
        sendPointer(w, ButtonRelease, p.x, p.y, Button1, Button1Mask, 1050);
    }
};

} // namespace

TEST_F(X11Frame, ShowsWhatTheHeadlessFrameDrawsAndTakesMouseInput) {
    const struct Skin {
        Skin() { skin::acquireBitmaps(); }
        ~Skin() { skin::releaseBitmaps(); }
    } skinInUse;
    CFrame frame(CRect(0, 0, 682, 425), reinterpret_cast<void*>(parent_), nullptr);
    ASSERT_TRUE(frame.isNative());
    Window child = Window(reinterpret_cast<uintptr_t>(frame.getPlatformWindow()->nativeHandle()));
    DragKnob* live = buildPanel(frame);
    CFrame twin(CRect(0, 0, 682, 425), nullptr, nullptr);
    DragKnob* model = buildPanel(twin);
    const auto shownWrong = [&] { return differences(child, twin.offscreen()); };
    const auto knobEvent = [&](int type, int y, unsigned button, unsigned state, Time time) {
        sendPointer(child, type, 510, y, button, state, time);
    };
    ASSERT_TRUE(idleUntil(frame, [&] { return frame.redrawCount() > 0; }));
    twin.idle();
    EXPECT_EQ(shownWrong(), 0);

    // two presses within the double-click time; a drag up by 20 pixels; one wheel notch down
    knobEvent(ButtonPress, 370, Button1, 0, 1000);
    knobEvent(ButtonRelease, 370, Button1, Button1Mask, 1050);
    knobEvent(ButtonPress, 371, Button1, 0, 1200);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->doubleClicks == 1; }));
    knobEvent(MotionNotify, 351, 0, Button1Mask, 1210);
    knobEvent(ButtonRelease, 351, Button1, Button1Mask, 1220);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->getValue() > 0.69f; }));
    EXPECT_NEAR(live->getValue(), 0.7f, 1e-5f);
    // a third press starts over, and one too far from it is no double click either
    knobEvent(ButtonPress, 371, Button1, 0, 1300);
    knobEvent(ButtonRelease, 371, Button1, Button1Mask, 1310);
    knobEvent(ButtonPress, 350, Button1, 0, 1400);
    knobEvent(ButtonRelease, 350, Button1, Button1Mask, 1410);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->lastY == 350; }));
    EXPECT_EQ(live->doubleClicks, 1);
    knobEvent(ButtonPress, 350, Button5, 0, 6000);
    ASSERT_TRUE(idleUntil(frame, [&] { return live->getValue() < 0.61f; }));
    model->setValue(live->getValue());
    twin.idle();
    EXPECT_EQ(shownWrong(), 0);

    // an exposed window is shown again from the offscreen buffer, no view drawn for it
    const int redraws = frame.redrawCount();
    XClearArea(display_, child, 0, 0, 0, 0, True);
    XFillRectangle(display_, child, DefaultGC(display_, DefaultScreen(display_)), 0, 0, 682, 425);
    XSync(display_, False);
    EXPECT_GT(shownWrong(), 0);
    idleUntil(frame, [&] { return shownWrong() == 0; });
    EXPECT_EQ(shownWrong(), 0);
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

TEST_F(MessageWindow, ShowsTheTextClosesWithReturnTheOkButtonOrTheWindowManagerAndOutlivesItsServer) {
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
        bad = differences(box, expected);
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
    e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = long(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    send(box, e, NoEventMask);
    ASSERT_TRUE(closes());

    // The box outlives its server and leaves the host's handlers as they were.
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

TEST_F(EditorX11, OpensIntoTheHostsWindowAndTakesARealClick) {
    EditorRig rig;
    ASSERT_EQ(rig.host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    CFrame* frame = rig.editor()->getFrame();
    ASSERT_TRUE(frame->isNative());
    const Window child = Window(reinterpret_cast<uintptr_t>(frame->getPlatformWindow()->nativeHandle()));
    Window parentOfChild = 0;
    childrenOf(child, &parentOfChild);
    EXPECT_EQ(parentOfChild, parent_);
    ASSERT_TRUE(idleUntil(rig, [&] { return frame->redrawCount() > 0; }));

    // The gate's switch, clicked in the window: the gate goes off and its cover shows.
    ASSERT_FLOAT_EQ(rig.client->engine().cell[kTagGate], 0.5f);
    click(child, EditorRig::centre(rig.control(kTagGate)->getViewSize()));
    ASSERT_TRUE(idleUntil(rig, [&] { return rig.client->engine().cell[kTagGate] == 0.0f; }));
    EXPECT_TRUE(rig.control(92)->isVisible());

    rig.close();
    EXPECT_TRUE(childrenOf(parent_).empty()); // closing takes the editor's window away
}
