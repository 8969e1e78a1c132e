#include "editor/ZuFrame.h"

#include "editor/ZuControl.h"
#include "editor/ZuOptionMenu.h"

ZuFrame::ZuFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor) : CFrame(size, systemWindow, editor) {}

void ZuFrame::refreshControls() {
    forEachView([](CView* v) {
        if (auto* c = dynamic_cast<ZuControl*>(v)) c->refreshFromBound();
    });
}

const ZuControl* ZuFrame::getHoveredControl() const {
    if (!mouseKnown_ || getModalView()) return nullptr;
    return dynamic_cast<const ZuControl*>(getViewAt(mouse_));
}

void ZuFrame::platformMouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) {
    mouseKnown_ = true;
    mouse_ = where;
    CFrame::platformMouseDown(where, buttons, timeMs);
}

void ZuFrame::platformMouseMoved(CPoint where, CButtonState buttons) {
    mouseKnown_ = true;
    mouse_ = where;
    CFrame::platformMouseMoved(where, buttons);
}

CMouseEventResult ZuFrame::onMouseDown(CPoint& where, const CButtonState& buttons) {
    const bool popupOpen = getModalView() != nullptr;
    const CMouseEventResult result = CFrame::onMouseDown(where, buttons);
    if (result != kMouseEventNotHandled || popupOpen || !(buttons & kRButton) || !panelMenu_) return result;
    panelMenu_->popup(this, where, nullptr);
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}
