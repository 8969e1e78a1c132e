// A view that owns child views. Children are drawn in the order they were
// added (later ones on top); hit testing walks them from the first and takes
// the first visible child that contains the point.
#pragma once

#include <memory>
#include <vector>

#include "gui/CView.h"

class CViewContainer : public CView {
public:
    explicit CViewContainer(const CRect& size) : CView(size) {}
    ~CViewContainer() override;

    // Takes ownership.
    void addView(CView* view);
    // Deletes the view.
    void removeView(CView* view);
    void removeAll();
    int getNbViews() const { return int(children_.size()); }
    CView* getView(int index) const { return index >= 0 && index < getNbViews() ? children_[size_t(index)] : nullptr; }

    // The first visible child containing the point, searched into containers.
    CView* getViewAt(const CPoint& where, bool deep = true) const;

    bool isContainer() const override { return true; }
    void draw(CDrawContext* context) override;
    // Draws the children overlapping the area; 'skip' is left out.
    virtual void drawRect(CDrawContext* context, const CRect& area, const CView* skip = nullptr);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

    // Every view of the tree below, depth first.
    template <typename F> void forEachView(F&& f) const {
        for (CView* v : children_) {
            f(v);
            if (v->isContainer()) static_cast<CViewContainer*>(v)->forEachView(f);
        }
    }

protected:
    // Called before a view of this container (or below it) is deleted.
    virtual void viewWillBeRemoved(CView* view);

private:
    std::vector<CView*> children_;
    CView* mouseDownView_ = nullptr; // the child that took the last mouse down
};
