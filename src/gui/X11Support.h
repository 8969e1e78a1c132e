// What our X11 windows share: an error trap, since Xlib's default error
// handler ends the process (and the host with it), and putting offscreen
// pixels into a window of any visual. X11 only.
#pragma once

#include <X11/Xlib.h>

#include "gui/GuiTypes.h"

class CDrawContext;

// Around each of our requests a handler of ours records errors instead; the
// previous one is put back on release.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(Display* display);
    ~X11ErrorTrap() { release(); }
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
    // Waits for the server to answer everything sent so far.
    bool failed();
    void release();

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

// Copies the area of the offscreen pixels to the same place in the drawable.
void putOffscreenArea(Display* display, Visual* visual, int depth, Drawable target, GC gc,
                      const CDrawContext& offscreen, const CRect& area);
