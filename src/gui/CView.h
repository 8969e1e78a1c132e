// A view: a rectangle of the frame (in frame coordinates) that draws itself
// and may take mouse events. The frame redraws views whose dirty flag is set.
#pragma once

#include "gui/GuiTypes.h"

class CDrawContext;
class CFrame;
class CViewContainer;

class CView {
public:
    explicit CView(const CRect& size) : size_(size) {}
    virtual ~CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;

    virtual void draw(CDrawContext*) {}

    virtual CMouseEventResult onMouseDown(CPoint&, const CButtonState&) { return kMouseEventNotHandled; }
    virtual CMouseEventResult onMouseUp(CPoint&, const CButtonState&) { return kMouseEventNotHandled; }
    virtual CMouseEventResult onMouseMoved(CPoint&, const CButtonState&) { return kMouseEventNotHandled; }
    // distance in notches, positive away from the user
    virtual bool onWheel(const CPoint&, float, const CButtonState&) { return false; }

    virtual bool isVisible() const { return visible_; }
    virtual void setVisible(bool on);
    // Whether the point falls on this view (visibility is checked apart).
    virtual bool hitTest(const CPoint& where) const { return size_.pointInside(where); }
    virtual bool isContainer() const { return false; }

    virtual void setDirty(bool on = true) { dirty_ = on; }
    bool isDirty() const { return dirty_; }
    void invalid() { setDirty(true); }

    const CRect& getViewSize() const { return size_; }
    // Moving a view marks its old place for redrawing as well.
    void setViewSize(const CRect& r);

    CViewContainer* getParentView() const { return parent_; }
    CFrame* getFrame() const;

private:
    friend class CViewContainer;
    CRect size_;
    bool visible_ = true;
    bool dirty_ = false;
    CViewContainer* parent_ = nullptr;
};
