// A modal message window of our own on X11, drawn with the toolkit; without a
// display the text goes to standard error. The window runs its own event
// loop on a connection of its own until OK, Return, Escape, Space or the
// window manager's close ends it, or the connection is lost.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>

#include <cstdio>
#include <cstdlib>

#include "gui/CDrawContext.h"
#include "gui/MessageBox.h"
#include "gui/MessageLayout.h"
#include "gui/X11Support.h"

namespace {

void setDialogHints(Display* d, Window w, const char* caption, const MessageLayout& l) {
    XStoreName(d, w, caption);
    XClassHint cls{const_cast<char*>("orvel-message"), const_cast<char*>("Orvel")};
    XSetClassHint(d, w, &cls);
    XSizeHints* size = XAllocSizeHints();
    if (size) {
        size->flags = PMinSize | PMaxSize;
        size->min_width = size->max_width = int(l.width);
        size->min_height = size->max_height = int(l.height);
        XSetWMNormalHints(d, w, size);
        XFree(size);
    }
    Atom type = XInternAtom(d, "_NET_WM_WINDOW_TYPE", False);
    Atom dialog = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(d, w, type, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    Atom state = XInternAtom(d, "_NET_WM_STATE", False);
    Atom above = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
    XChangeProperty(d, w, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&above), 1);
}

bool showMessageWindow(const char* caption, const char* text) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    X11Connection connection;
    Display* d = connection.display();
    if (!d) return false;
    COffscreenContext measure(1, 1);
    measure.setFont(CFontDesc{"Arial", 13, kNormalFace});
    const MessageLayout layout = layoutMessage(measure, text);
    COffscreenContext pixels(layout.width, layout.height);
    pixels.setFont(measure.getFont());

    X11ErrorTrap trap(d);
    const int screen = DefaultScreen(d);
    const int x = (DisplayWidth(d, screen) - int(layout.width)) / 2;
    const int y = (DisplayHeight(d, screen) - int(layout.height)) / 3;
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), x, y, unsigned(layout.width), unsigned(layout.height),
                                   0, 0, 0xE8E8E8);
    if (trap.failed()) return false;
    trap.release();
    setDialogHints(d, w, caption, layout);
    Atom closeRequest = XInternAtom(d, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(d, w, &closeRequest, 1);
    XSelectInput(d, w, ExposureMask | KeyPressMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask);
    GC gc = XCreateGC(d, w, 0, nullptr);
    XMapRaised(d, w);

    Visual* visual = DefaultVisual(d, screen);
    const int depth = DefaultDepth(d, screen);
    bool pressed = false, done = false;
    auto redraw = [&] {
        drawMessage(pixels, layout, pressed);
        putOffscreenArea(d, visual, depth, w, gc, pixels, CRect(0, 0, layout.width, layout.height));
        XFlush(d);
    };
    auto onButton = [&](int px, int py) { return layout.button.pointInside(CPoint(px, py)); };
    while (!done && !connection.lost()) {
        if (XPending(d) == 0) {
            // Waiting on the socket, not in XNextEvent, which cannot return
            // from a lost connection.
            pollfd ready{ConnectionNumber(d), POLLIN, 0};
            poll(&ready, 1, -1);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        switch (e.type) {
        case Expose:
            if (e.xexpose.count == 0) redraw();
            break;
        case MapNotify: XSetInputFocus(d, w, RevertToParent, CurrentTime); break;
        case KeyPress: {
            const KeySym key = XLookupKeysym(&e.xkey, 0);
            if (key == XK_Return || key == XK_KP_Enter || key == XK_Escape || key == XK_space) done = true;
            break;
        }
        case ButtonPress:
            if (e.xbutton.button == Button1 && onButton(e.xbutton.x, e.xbutton.y)) {
                pressed = true;
                redraw();
            }
            break;
        case ButtonRelease:
            if (e.xbutton.button == Button1 && pressed) {
                pressed = false;
                done = onButton(e.xbutton.x, e.xbutton.y);
                if (!done) redraw();
            }
            break;
        case ClientMessage:
            if (Atom(e.xclient.data.l[0]) == closeRequest) done = true;
            break;
        case DestroyNotify:
            if (e.xdestroywindow.window == w) {
                w = 0;
                done = true;
            }
            break;
        default: break;
        }
    }
    if (connection.lost()) return false; // the text then goes to standard error too
    XFreeGC(d, gc);
    if (w) XDestroyWindow(d, w);
    return true;
}

} // namespace

void detail::showPlatformMessageBox(const char* caption, const char* text) {
    if (!showMessageWindow(caption, text)) std::fprintf(stderr, "[%s] %s\n", caption, text);
}
