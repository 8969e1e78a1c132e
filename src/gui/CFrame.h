// The top view: bound to a native child window of the host's window (or to
// memory when there is none), it owns the view tree and the offscreen buffer
// everything is drawn into. idle() handles the window's events and redraws
// only what is dirty. An optional modal view takes every mouse event and is
// drawn above all other views.
#pragma once

#include <memory>
#include <vector>

#include "gui/CDrawContext.h"
#include "gui/CViewContainer.h"
#include "gui/PlatformWindow.h"

class AEffGUIEditor;
class CBitmap;

class CFrame : public CViewContainer, public PlatformWindowEvents {
public:
    // systemWindow: the host's window (X11 Window or HWND); null for a frame
    // that renders into memory only.
    CFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor);
    ~CFrame() override;

    AEffGUIEditor* getEditor() const { return editor_; }
    PlatformWindow* getPlatformWindow() const { return platform_.get(); }
    bool isNative() const { return platform_ && platform_->nativeHandle() != nullptr; }

    // Takes a reference; the frame draws it behind all views.
    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background_; }
    void setBackgroundColor(const CColor& c) { backgroundColor_ = c; }

    // The modal view is not owned unless it is also a child of the frame.
    void setModalView(CView* view);
    CView* getModalView() const { return modal_; }

    void setFocusView(CView* view) { focus_ = view; }
    CView* getFocusView() const { return focus_; }

    // Window events, then the redraw of everything dirty.
    void idle();
    // Draws and shows what is dirty or invalid now; answers whether anything was drawn.
    bool redrawDirty();
    // An area to redraw at the next idle whether or not views in it are dirty.
    void invalidRect(const CRect& area);
    // The whole frame at the next idle.
    void setDirty(bool on = true) override;

    const COffscreenContext& offscreen() const { return offscreen_; }
    int redrawCount() const { return redraws_; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

    // PlatformWindowEvents
    void platformMouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) override;
    void platformMouseUp(CPoint where, CButtonState buttons) override;
    void platformMouseMoved(CPoint where, CButtonState buttons) override;
    void platformWheel(CPoint where, float distance, CButtonState buttons) override;
    void platformPaint(const CRect& area) override;

    // Two presses closer than this in pixels (each way) may form a double click.
    static constexpr CCoord kDoubleClickDistance = 4;

protected:
    void viewWillBeRemoved(CView* view) override;

private:
    void drawArea(const CRect& area);

    AEffGUIEditor* editor_;
    std::unique_ptr<PlatformWindow> platform_;
    COffscreenContext offscreen_;
    CBitmap* background_ = nullptr;
    CColor backgroundColor_ = kBlackCColor;
    CView* modal_ = nullptr;
    CView* focus_ = nullptr;
    std::vector<CRect> invalid_;
    bool inIdle_ = false;
    bool drawnOnce_ = false;
    bool tracking_ = false;
    int redraws_ = 0;

    // the last press, for double clicks
    bool lastDownValid_ = false;
    CPoint lastDownPoint_;
    CButtonState lastDownButton_ = 0;
    uint32_t lastDownTime_ = 0;
};
