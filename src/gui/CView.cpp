#include "gui/CView.h"

#include "gui/CFrame.h"
#include "gui/CViewContainer.h"

void CView::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    setDirty(true);
}

void CView::setViewSize(const CRect& r) {
    if (r == size_) return;
    if (CFrame* frame = getFrame()) frame->invalidRect(size_);
    size_ = r;
    setDirty(true);
}

CFrame* CView::getFrame() const {
    const CView* v = this;
    while (v->parent_) v = v->parent_;
    return const_cast<CFrame*>(dynamic_cast<const CFrame*>(v));
}
