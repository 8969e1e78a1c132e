// The frame's window on X11: a child of the host's window on a display
// connection of its own. Its events are read when the host calls idle; the
// offscreen pixels are put with XPutImage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

#include "gui/CDrawContext.h"
#include "gui/PlatformWindow.h"

namespace {

// Xlib's default error handler ends the process, which would take the host
// with it (a window id that is not valid, a parent destroyed before close).
// Around each of our requests a handler of ours records errors instead; the
// previous one is put back at once.
int gTrappedErrors = 0;
int recordError(Display*, XErrorEvent*) {
    ++gTrappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display* d) : display_(d) {
        XSync(display_, False);
        gTrappedErrors = 0;
        previous_ = XSetErrorHandler(&recordError);
    }
    ~ErrorTrap() { release(); }
    // Waits for the server to answer everything sent so far.
    bool failed() {
        XSync(display_, False);
        return gTrappedErrors != 0;
    }
    void release() {
        if (!display_) return;
        XSync(display_, False);
        XSetErrorHandler(previous_);
        display_ = nullptr;
    }

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

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
        display_ = XOpenDisplay(nullptr);
        if (!display_) return;
        int screen = DefaultScreen(display_);
        visual_ = DefaultVisual(display_, screen);
        depth_ = DefaultDepth(display_, screen);
        ErrorTrap trap(display_);
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
            ErrorTrap trap(display_); // the host may have destroyed our window with its own
            if (gc_) XFreeGC(display_, gc_);
            if (window_) XDestroyWindow(display_, window_);
        }
        XCloseDisplay(display_);
    }

    bool isValid() const override { return display_ && window_; }
    void* nativeHandle() const override { return reinterpret_cast<void*>(window_); }
    bool hasFocus() const override { return focused_; }

    void takeFocus() override {
        if (!window_) return;
        ErrorTrap trap(display_);
        XWindowAttributes a;
        if (XGetWindowAttributes(display_, window_, &a) && a.map_state == IsViewable)
            XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    }

    void present(const CDrawContext& offscreen, const CRect& area) override {
        if (!window_) return;
        ErrorTrap trap(display_);
        const bool direct = depth_ >= 24 && visual_->red_mask == 0xFF0000 && visual_->green_mask == 0xFF00 &&
                            visual_->blue_mask == 0xFF;
        XImage* image = nullptr;
        std::vector<char> converted;
        if (direct) {
            // The offscreen pixels are already in the server's 32-bit layout.
            image = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0,
                                 reinterpret_cast<char*>(const_cast<uint32_t*>(offscreen.pixels())),
                                 unsigned(offscreen.getWidth()), unsigned(offscreen.getHeight()), 32,
                                 offscreen.stride() * 4);
            if (image && image->bits_per_pixel != 32) {
                image->data = nullptr;
                XDestroyImage(image);
                image = nullptr;
            }
        }
        if (!image) {
            // Other visuals: convert the area pixel by pixel.
            image = XCreateImage(display_, visual_, unsigned(depth_), ZPixmap, 0, nullptr, unsigned(area.width()),
                                 unsigned(area.height()), 32, 0);
            if (!image) return;
            converted.resize(size_t(image->bytes_per_line) * size_t(area.height()));
            image->data = converted.data();
            for (CCoord y = 0; y < area.height(); ++y)
                for (CCoord x = 0; x < area.width(); ++x) {
                    uint32_t p = offscreen.getPixel(area.left + x, area.top + y);
                    XPutPixel(image, x, y, scaled(p >> 16 & 255, visual_->red_mask) |
                                               scaled(p >> 8 & 255, visual_->green_mask) |
                                               scaled(p & 255, visual_->blue_mask));
                }
            XPutImage(display_, window_, gc_, image, 0, 0, area.left, area.top, unsigned(area.width()),
                      unsigned(area.height()));
        } else {
            XPutImage(display_, window_, gc_, image, area.left, area.top, area.left, area.top,
                      unsigned(area.width()), unsigned(area.height()));
        }
        image->data = nullptr; // not Xlib's to free
        XDestroyImage(image);
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
    static unsigned long scaled(uint32_t v, unsigned long mask) {
        if (!mask) return 0;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        unsigned long max = mask >> shift;
        return ((v * max + 127) / 255) << shift;
    }

    PlatformWindowEvents& events_;
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
