#include "gui/CFrame.h"

#include <cstdlib>

#include "gui/CBitmap.h"
#include "gui/HeadlessWindow.h"

CFrame::CFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor)
    : CViewContainer(CRect(0, 0, size.width(), size.height())),
      editor_(editor),
      offscreen_(std::max<CCoord>(1, size.width()), std::max<CCoord>(1, size.height())) {
    if (systemWindow) platform_ = createNativeWindow(systemWindow, getViewSize(), *this);
    if (!platform_ || !platform_->isValid()) platform_ = std::make_unique<HeadlessWindow>(*this);
    setDirty(true);
}

CFrame::~CFrame() {
    removeAll();
    setBackground(nullptr);
    platform_.reset();
}

void CFrame::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background_) background_->forget();
    background_ = bitmap;
    setDirty(true);
}

void CFrame::setModalView(CView* view) {
    if (modal_ == view) return;
    if (modal_) invalidRect(modal_->getViewSize());
    modal_ = view;
    tracking_ = false;
    if (modal_) invalidRect(modal_->getViewSize());
}

void CFrame::viewWillBeRemoved(CView* view) {
    if (modal_ == view) modal_ = nullptr;
    if (focus_ == view) focus_ = nullptr;
    CViewContainer::viewWillBeRemoved(view);
}

void CFrame::invalidRect(const CRect& area) {
    CRect r = area;
    r.bound(getViewSize());
    if (!r.isEmpty()) invalid_.push_back(r);
}

void CFrame::setDirty(bool on) {
    if (on) invalidRect(getViewSize());
}

void CFrame::idle() {
    if (inIdle_) return; // a control asked for idle while it is being handled
    inIdle_ = true;
    platform_->processEvents();
    redrawDirty();
    inIdle_ = false;
}

bool CFrame::redrawDirty() {
    std::vector<CRect> areas;
    areas.swap(invalid_);
    auto collect = [&](CView* v) {
        if (v->isDirty()) {
            areas.push_back(v->getViewSize());
            v->CView::setDirty(false);
        }
    };
    forEachView(collect);
    if (modal_ && modal_->getParentView() == nullptr) {
        collect(modal_);
        if (modal_->isContainer()) static_cast<CViewContainer*>(modal_)->forEachView(collect);
    }

    // Overlapping areas are drawn once, as their union.
    std::vector<CRect> merged;
    for (CRect r : areas) {
        r.bound(getViewSize());
        if (r.isEmpty()) continue;
        for (bool grew = true; grew;) {
            grew = false;
            for (size_t i = 0; i < merged.size(); ++i)
                if (merged[i].rectOverlap(r)) {
                    r.unite(merged[i]);
                    merged.erase(merged.begin() + long(i));
                    grew = true;
                    break;
                }
        }
        merged.push_back(r);
    }
    if (merged.empty()) return false;
    for (const CRect& r : merged) {
        drawArea(r);
        platform_->present(offscreen_, r);
    }
    drawnOnce_ = true;
    ++redraws_;
    return true;
}

void CFrame::drawArea(const CRect& area) {
    offscreen_.setClipRect(area);
    if (background_ && background_->isLoaded()) {
        background_->draw(&offscreen_, getViewSize());
    } else {
        offscreen_.setFillColor(backgroundColor_);
        offscreen_.fillRect(area);
    }
    drawRect(&offscreen_, area, modal_);
    // The modal view goes on top of everything else.
    if (modal_ && modal_->isVisible() && modal_->getViewSize().rectOverlap(area)) {
        CRect clip = modal_->getViewSize();
        clip.bound(area);
        offscreen_.setClipRect(clip);
        if (modal_->isContainer())
            static_cast<CViewContainer*>(modal_)->drawRect(&offscreen_, clip);
        else
            modal_->draw(&offscreen_);
    }
    offscreen_.resetClipRect();
}

CMouseEventResult CFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (modal_) return modal_->onMouseDown(where, buttons);
    return CViewContainer::onMouseDown(where, buttons);
}

CMouseEventResult CFrame::onMouseUp(CPoint& where, const CButtonState& buttons) {
    if (modal_) return modal_->onMouseUp(where, buttons);
    return CViewContainer::onMouseUp(where, buttons);
}

CMouseEventResult CFrame::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (modal_) return modal_->onMouseMoved(where, buttons);
    return CViewContainer::onMouseMoved(where, buttons);
}

bool CFrame::onWheel(const CPoint& where, float distance, const CButtonState& buttons) {
    if (modal_) return modal_->onWheel(where, distance, buttons);
    return CViewContainer::onWheel(where, distance, buttons);
}

void CFrame::platformMouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) {
    if (!platform_->hasFocus()) platform_->takeFocus();
    const CButtonState button = buttons & (kLButton | kMButton | kRButton);
    bool doubleClick = lastDownValid_ && button == lastDownButton_ &&
                       uint32_t(timeMs - lastDownTime_) <= platform_->doubleClickTime() &&
                       std::abs(where.x - lastDownPoint_.x) <= kDoubleClickDistance &&
                       std::abs(where.y - lastDownPoint_.y) <= kDoubleClickDistance;
    if (doubleClick) {
        buttons |= kDoubleClick;
        lastDownValid_ = false; // a third press starts over
    } else {
        lastDownValid_ = true;
        lastDownPoint_ = where;
        lastDownButton_ = button;
        lastDownTime_ = timeMs;
    }
    focus_ = modal_ ? modal_ : getViewAt(where);
    tracking_ = onMouseDown(where, buttons) == kMouseEventHandled;
    if (tracking_) platform_->setMouseCapture(true);
}

void CFrame::platformMouseUp(CPoint where, CButtonState buttons) {
    bool wasTracking = tracking_;
    tracking_ = false;
    if (wasTracking) {
        platform_->setMouseCapture(false);
        onMouseUp(where, buttons);
    } else if (modal_) {
        modal_->onMouseUp(where, buttons);
    }
}

void CFrame::platformMouseMoved(CPoint where, CButtonState buttons) {
    if (tracking_ || modal_) onMouseMoved(where, buttons);
}

void CFrame::platformWheel(CPoint where, float distance, CButtonState buttons) { onWheel(where, distance, buttons); }

void CFrame::platformPaint(const CRect& area) {
    if (!drawnOnce_ || !invalid_.empty()) redrawDirty();
    CRect r = area;
    r.bound(getViewSize());
    if (!r.isEmpty()) platform_->present(offscreen_, r);
}
