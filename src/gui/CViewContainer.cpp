#include "gui/CViewContainer.h"

#include <algorithm>

#include "gui/CDrawContext.h"
#include "gui/CFrame.h"

CViewContainer::~CViewContainer() {
    for (CView* v : children_) delete v;
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    view->parent_ = this;
    children_.push_back(view);
    view->setDirty(true);
}

void CViewContainer::viewWillBeRemoved(CView* view) {
    if (mouseDownView_ == view) mouseDownView_ = nullptr;
    if (CViewContainer* p = getParentView()) p->viewWillBeRemoved(view);
}

void CViewContainer::removeView(CView* view) {
    auto it = std::find(children_.begin(), children_.end(), view);
    if (it == children_.end()) return;
    if (view->isContainer()) static_cast<CViewContainer*>(view)->removeAll();
    if (CFrame* frame = getFrame()) frame->invalidRect(view->getViewSize());
    viewWillBeRemoved(view);
    children_.erase(it);
    delete view;
}

void CViewContainer::removeAll() {
    while (!children_.empty()) removeView(children_.back());
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    for (CView* v : children_) {
        if (!v->isVisible() || !v->hitTest(where)) continue;
        if (deep && v->isContainer()) {
            if (CView* inner = static_cast<CViewContainer*>(v)->getViewAt(where, true)) return inner;
        }
        return v;
    }
    return nullptr;
}

void CViewContainer::draw(CDrawContext* context) { drawRect(context, getViewSize()); }

void CViewContainer::drawRect(CDrawContext* context, const CRect& area, const CView* skip) {
    CRect savedClip = context->getClipRect();
    for (CView* v : children_) {
        if (v == skip || !v->isVisible() || !v->getViewSize().rectOverlap(area)) continue;
        CRect clip = v->getViewSize();
        clip.bound(area);
        clip.bound(savedClip);
        if (clip.isEmpty()) continue;
        context->setClipRect(clip);
        if (v->isContainer())
            static_cast<CViewContainer*>(v)->drawRect(context, clip, skip);
        else
            v->draw(context);
    }
    context->setClipRect(savedClip);
}

CMouseEventResult CViewContainer::onMouseDown(CPoint& where, const CButtonState& buttons) {
    mouseDownView_ = nullptr;
    for (CView* v : children_) {
        if (!v->isVisible() || !v->hitTest(where)) continue;
        CMouseEventResult result = v->onMouseDown(where, buttons);
        if (result == kMouseEventHandled) mouseDownView_ = v;
        return result;
    }
    return kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseUp(CPoint& where, const CButtonState& buttons) {
    CView* v = mouseDownView_;
    mouseDownView_ = nullptr;
    return v ? v->onMouseUp(where, buttons) : kMouseEventNotHandled;
}

CMouseEventResult CViewContainer::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    return mouseDownView_ ? mouseDownView_->onMouseMoved(where, buttons) : kMouseEventNotHandled;
}

bool CViewContainer::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    for (CView* v : children_) {
        if (!v->isVisible() || !v->hitTest(where)) continue;
        return v->onWheel(where, distance, buttons);
    }
    return false;
}
