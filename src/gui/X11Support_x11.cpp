#include "gui/X11Support.h"

#include <X11/Xutil.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

// Last, since it defines min and max: XESetWireToError, the hook that sees
// the errors of one connection only.
#include <X11/Xlibint.h>
#undef min
#undef max

#include "gui/CDrawContext.h"

struct X11ConnectionState {
    Display* display = nullptr;
    std::atomic<bool> lost{false};
    std::atomic<int> errors{0};
};

namespace {

// Our open connections, and the process-wide I/O error handler that was in
// place before the first of them opened. The only Xlib call made under the
// lock swaps that handler, which takes no display's lock.
std::mutex gConnectionsLock;
std::vector<X11ConnectionState*> gConnections;
XIOErrorHandler gReplacedIOHandler = nullptr;

X11ConnectionState* stateOf(Display* d) {
    for (X11ConnectionState* s : gConnections)
        if (s->display == d) return s;
    return nullptr;
}

// Called for every X error of a connection of ours, before the process-wide
// handler; False keeps the error from it.
Bool countError(Display* d, XErrorEvent*, xError*) {
    std::lock_guard<std::mutex> lock(gConnectionsLock);
    if (X11ConnectionState* s = stateOf(d)) ++s->errors;
    return False;
}

// The process-wide I/O error handler while a connection of ours is open: the
// loss of ours is only noted (the per-connection exit handler below then
// keeps Xlib from exiting); any other goes to the handler we replaced.
int passOnOtherLosses(Display* d) {
    XIOErrorHandler replaced;
    {
        std::lock_guard<std::mutex> lock(gConnectionsLock);
        if (stateOf(d)) return 0;
        replaced = gReplacedIOHandler;
    }
    return replaced ? replaced(d) : 0;
}

void noteLoss(Display*, void* state) { static_cast<X11ConnectionState*>(state)->lost = true; }

unsigned long scaled(uint32_t v, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long max = mask >> shift;
    return ((v * max + 127) / 255) << shift;
}

} // namespace

X11Connection::X11Connection() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    state_ = new X11ConnectionState;
    state_->display = d;
    {
        std::lock_guard<std::mutex> lock(gConnectionsLock);
        if (gConnections.empty()) gReplacedIOHandler = XSetIOErrorHandler(&passOnOtherLosses);
        gConnections.push_back(state_);
    }
    XSetIOErrorExitHandler(d, &noteLoss, state_);
    for (int code = 1; code < 256; ++code) XESetWireToError(d, code, &countError);
    display_ = d;
}

X11Connection::~X11Connection() {
    if (!state_) return;
    // Closing a lost connection may report the loss once more: ours stays
    // registered until the display is gone.
    XCloseDisplay(display_);
    std::lock_guard<std::mutex> lock(gConnectionsLock);
    gConnections.erase(std::find(gConnections.begin(), gConnections.end(), state_));
    if (gConnections.empty()) {
        // Exactly the handler found; unless the host has set one of its own since.
        XIOErrorHandler current = XSetIOErrorHandler(gReplacedIOHandler);
        if (current != &passOnOtherLosses) XSetIOErrorHandler(current);
        gReplacedIOHandler = nullptr;
    }
    delete state_;
}

bool X11Connection::lost() const { return state_ && state_->lost; }

X11ErrorTrap::X11ErrorTrap(Display* d) : display_(d) {
    XSync(display_, False);
    std::lock_guard<std::mutex> lock(gConnectionsLock);
    if (X11ConnectionState* s = stateOf(display_)) s->errors = 0;
}

bool X11ErrorTrap::failed() {
    XSync(display_, False);
    std::lock_guard<std::mutex> lock(gConnectionsLock);
    X11ConnectionState* s = stateOf(display_);
    return s && (s->errors != 0 || s->lost);
}

void X11ErrorTrap::release() {
    if (!display_) return;
    XSync(display_, False);
    display_ = nullptr;
}

void putOffscreenArea(Display* display, Visual* visual, int depth, Drawable target, GC gc,
                      const CDrawContext& offscreen, const CRect& area) {
    const bool direct =
        depth >= 24 && visual->red_mask == 0xFF0000 && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF;
    XImage* image = nullptr;
    std::vector<char> converted;
    if (direct) {
        // The offscreen pixels are already in the server's 32-bit layout.
        image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0,
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
        image = XCreateImage(display, visual, unsigned(depth), ZPixmap, 0, nullptr, unsigned(area.width()),
                             unsigned(area.height()), 32, 0);
        if (!image) return;
        converted.resize(size_t(image->bytes_per_line) * size_t(area.height()));
        image->data = converted.data();
        for (CCoord y = 0; y < area.height(); ++y)
            for (CCoord x = 0; x < area.width(); ++x) {
                uint32_t p = offscreen.getPixel(area.left + x, area.top + y);
                XPutPixel(image, x, y, scaled(p >> 16 & 255, visual->red_mask) |
                                           scaled(p >> 8 & 255, visual->green_mask) | scaled(p & 255, visual->blue_mask));
            }
        XPutImage(display, target, gc, image, 0, 0, area.left, area.top, unsigned(area.width()),
                  unsigned(area.height()));
    } else {
        XPutImage(display, target, gc, image, area.left, area.top, area.left, area.top, unsigned(area.width()),
                  unsigned(area.height()));
    }
    image->data = nullptr; // not Xlib's to free
    XDestroyImage(image);
}
