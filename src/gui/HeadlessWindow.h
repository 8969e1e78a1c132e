// A frame's window that exists only in memory: it records what the frame
// presents, and tests feed it mouse input as a native window would.
#pragma once

#include <vector>

#include "gui/PlatformWindow.h"

class HeadlessWindow : public PlatformWindow {
public:
    explicit HeadlessWindow(PlatformWindowEvents& events) : events_(events) {}

    void present(const CDrawContext&, const CRect& area) override { presented_.push_back(area); }
    bool hasFocus() const override { return focused_; }
    void takeFocus() override {
        focused_ = true;
        ++focusRequests_;
    }
    void setMouseCapture(bool on) override { captured_ = on; }

    // Input as a native window reports it.
    void mouseDown(CPoint p, CButtonState b, uint32_t timeMs) { events_.platformMouseDown(p, b, timeMs); }
    void mouseUp(CPoint p, CButtonState b) { events_.platformMouseUp(p, b); }
    void mouseMoved(CPoint p, CButtonState b) { events_.platformMouseMoved(p, b); }
    void wheel(CPoint p, float d, CButtonState b) { events_.platformWheel(p, d, b); }
    void expose(const CRect& r) { events_.platformPaint(r); }

    const std::vector<CRect>& presented() const { return presented_; }
    void clearPresented() { presented_.clear(); }
    bool captured() const { return captured_; }
    int focusRequests() const { return focusRequests_; }
    void setFocused(bool on) { focused_ = on; }

private:
    PlatformWindowEvents& events_;
    std::vector<CRect> presented_;
    bool focused_ = false;
    bool captured_ = false;
    int focusRequests_ = 0;
};
