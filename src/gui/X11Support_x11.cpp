#include "gui/X11Support.h"

#include <X11/Xutil.h>

#include <vector>

#include "gui/CDrawContext.h"

namespace {

int gTrappedErrors = 0;
int recordError(Display*, XErrorEvent*) {
    ++gTrappedErrors;
    return 0;
}

unsigned long scaled(uint32_t v, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long max = mask >> shift;
    return ((v * max + 127) / 255) << shift;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* d) : display_(d) {
    XSync(display_, False);
    gTrappedErrors = 0;
    previous_ = XSetErrorHandler(&recordError);
}

bool X11ErrorTrap::failed() {
    XSync(display_, False);
    return gTrappedErrors != 0;
}

void X11ErrorTrap::release() {
    if (!display_) return;
    XSync(display_, False);
    XSetErrorHandler(previous_);
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
