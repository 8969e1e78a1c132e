// What our X11 windows share: a connection of their own that can never end
// the host (Xlib's default error and I/O error handlers end the process, and
// both handlers are process-wide: they are the host's), an error trap, and
// putting offscreen pixels into a window of any visual. X11 only.
#pragma once

#include <X11/Xlib.h>

#include "gui/GuiTypes.h"

class CDrawContext;

// A display connection of our own on $DISPLAY. Its X errors are kept from
// the process-wide error handler (X11ErrorTrap counts them), and its loss
// (the server gone) ends only this connection: while any connection of ours
// is open, the process-wide I/O error handler is one that passes every other
// connection's loss on to the handler it replaced, and that handler is put
// back when the last one closes. After a loss, Xlib calls that do not block
// are safe; a blocking XNextEvent is not (wait on the socket instead).
class X11Connection {
public:
    X11Connection();
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;
    Display* display() const { return display_; } // null when it could not be opened
    bool lost() const;

private:
    Display* display_ = nullptr;
    struct X11ConnectionState* state_ = nullptr;
};

// Errors of our requests on a connection of ours, between construction and
// each failed().
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
};

// Copies the area of the offscreen pixels to the same place in the drawable.
void putOffscreenArea(Display* display, Visual* visual, int depth, Drawable target, GC gc,
                      const CDrawContext& offscreen, const CRect& area);
