// The native side of a frame: a child window of the host's window that shows
// the frame's offscreen pixels and reports mouse input. One implementation
// per windowing system, plus a headless one that renders into memory only.
#pragma once

#include <cstdint>
#include <memory>

#include "gui/GuiTypes.h"

class CDrawContext;

// What a native window tells its frame.
class PlatformWindowEvents {
public:
    virtual ~PlatformWindowEvents() = default;
    // timeMs: the event time in milliseconds (any origin, wrapping).
    virtual void platformMouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) = 0;
    virtual void platformMouseUp(CPoint where, CButtonState buttons) = 0;
    virtual void platformMouseMoved(CPoint where, CButtonState buttons) = 0;
    virtual void platformWheel(CPoint where, float distance, CButtonState buttons) = 0;
    // The window lost this area and must be shown again.
    virtual void platformPaint(const CRect& area) = 0;
};

class PlatformWindow {
public:
    virtual ~PlatformWindow() = default;
    // Copies the area of the offscreen pixels to the window.
    virtual void present(const CDrawContext& offscreen, const CRect& area) = 0;
    // Handles the window's pending events (called at every idle).
    virtual void processEvents() {}
    virtual bool hasFocus() const { return true; }
    virtual void takeFocus() {}
    // Keeps mouse events coming while a drag leaves the window.
    virtual void setMouseCapture(bool) {}
    virtual uint32_t doubleClickTime() const { return 500; }
    // The native window (X11 Window or HWND), null when headless.
    virtual void* nativeHandle() const { return nullptr; }
    // False when the native window could not be made.
    virtual bool isValid() const { return true; }
};

// A child window of 'parent' (X11 Window or HWND) covering 'size'.
std::unique_ptr<PlatformWindow> createNativeWindow(void* parent, const CRect& size, PlatformWindowEvents& events);
