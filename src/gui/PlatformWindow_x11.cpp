// The frame's window on X11: a child of the host's window on a display
// connection of its own. Its events are read when the host calls idle; the
// offscreen pixels are put with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

#include "gui/CDrawContext.h"
#include "gui/PlatformWindow.h"
#include "gui/X11Support.h"

namespace {

CButtonState modifiersOf(unsigned state) {
    CButtonState b = 0;
    if (state & ShiftMask) b |= kShift;
    if (state & ControlMask) b |= kControl;
    if (state & Mod1Mask) b |= kAlt;
    if (state & Mod4Mask) b |= kApple;
    return b;
}

CButtonState buttonsOf(unsigned state) {
    CButtonState b = modifiersOf(state);
    if (state & Button1Mask) b |= kLButton;
    if (state & Button2Mask) b |= kMButton;
    if (state & Button3Mask) b |= kRButton;
    return b;
}

CButtonState buttonOf(unsigned button) {
    switch (button) {
    case Button1: return kLButton;
    case Button2: return kMButton;
    case Button3: return kRButton;
    default: return 0;
    }
}

class X11Window : public PlatformWindow {
public:
    X11Window(Window parent, const CRect& size, PlatformWindowEvents& events) : events_(events) {
        display_ = connection_.display();
        if (!display_) return;
        int screen = DefaultScreen(display_);
        visual_ = DefaultVisual(display_, screen);
        depth_ = DefaultDepth(display_, screen);
        X11ErrorTrap trap(display_);
        XSetWindowAttributes attributes{};
        attributes.background_pixmap = None; // the frame paints every pixel
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                                FocusChangeMask | StructureNotifyMask;
        window_ = XCreateWindow(display_, parent, size.left, size.top, unsigned(size.width()), unsigned(size.height()),
                                0, CopyFromParent, InputOutput, CopyFromParent, CWBackPixmap | CWEventMask,
                                &attributes);
        if (trap.failed()) {
            window_ = 0; // the parent is not a window of this display
            return;
        }
        gc_ = XCreateGC(display_, window_, 0, nullptr);
        XMapWindow(display_, window_);
        if (trap.failed()) window_ = 0;
    }

    ~X11Window() override {
        if (!display_) return;
        {
            X11ErrorTrap trap(display_); // the host may have destroyed our window with its own
            if (gc_) XFreeGC(display_, gc_);
            if (window_) XDestroyWindow(display_, window_);
        }
    }

    bool isValid() const override { return display_ && window_; }
    void* nativeHandle() const override { return reinterpret_cast<void*>(window_); }
    bool hasFocus() const override { return focused_; }

    void takeFocus() override {
        if (!window_) return;
        X11ErrorTrap trap(display_);
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, window_, &a) && a.map_state == IsViewable)
            XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    }

    void present(const CDrawContext& offscreen, const CRect& area) override {
        if (!window_) return;
        X11ErrorTrap trap(display_);
        putOffscreenArea(display_, visual_, depth_, window_, gc_, offscreen, area);
        if (trap.failed()) window_ = 0; // gone with the host's window
    }

    void processEvents() override {
        if (!display_) return;
        while (XPending(display_)) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.xany.window != window_) continue;
            switch (e.type) {
            case Expose:
                events_.platformPaint(CRect(e.xexpose.x, e.xexpose.y, e.xexpose.x + e.xexpose.width,
                                            e.xexpose.y + e.xexpose.height));
                break;
            case ButtonPress: {
                CPoint p(e.xbutton.x, e.xbutton.y);
                CButtonState mods = modifiersOf(e.xbutton.state);
                if (e.xbutton.button == Button4 || e.xbutton.button == Button5)
                    events_.platformWheel(p, e.xbutton.button == Button4 ? 1.f : -1.f, buttonsOf(e.xbutton.state));
                else if (CButtonState b = buttonOf(e.xbutton.button))
                    events_.platformMouseDown(p, b | mods, uint32_t(e.xbutton.time));
                break;
            }
            case ButtonRelease:
                if (CButtonState b = buttonOf(e.xbutton.button))
                    events_.platformMouseUp(CPoint(e.xbutton.x, e.xbutton.y), b | modifiersOf(e.xbutton.state));
                break;
            case MotionNotify:
                events_.platformMouseMoved(CPoint(e.xmotion.x, e.xmotion.y), buttonsOf(e.xmotion.state));
                break;
            case DestroyNotify:
                if (e.xdestroywindow.window == window_) window_ = 0;
                break;
            case FocusIn: focused_ = true; break;
            case FocusOut: focused_ = false; break;
            default: break;
            }
        }
    }

private:
    PlatformWindowEvents& events_;
    X11Connection connection_; // closed after the destructor has freed the window
    Display* display_ = nullptr;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    Window window_ = 0;
    GC gc_ = nullptr;
    bool focused_ = false;
};

} // namespace

std::unique_ptr<PlatformWindow> createNativeWindow(void* parent, const CRect& size, PlatformWindowEvents& events) {
    auto w = std::make_unique<X11Window>(Window(reinterpret_cast<uintptr_t>(parent)), size, events);
    if (!w->isValid()) return nullptr;
    return w;
}
