#include "gui/CControl.h"

#include "gui/AEffGUIEditor.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), tag_(tag), listener_(listener) {
    setBackground(background);
}

CControl::~CControl() { setBackground(nullptr); }

void CControl::setValue(float value) {
    if (value == value_) return;
    value_ = value;
    setDirty(true);
}

void CControl::bounceValue() {
    if (value_ > max_)
        setValue(max_);
    else if (value_ < min_)
        setValue(min_);
}

void CControl::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (background_) background_->forget();
    background_ = bitmap;
    setDirty(true);
}

void CControl::notifyValueChanged() {
    if (listener_) listener_->valueChanged(this);
}

void CControl::beginEdit() {
    if (listener_) listener_->controlBeginEdit(this);
    if (CFrame* frame = getFrame())
        if (AEffGUIEditor* editor = frame->getEditor()) editor->beginEdit(tag_);
}

void CControl::endEdit() {
    if (CFrame* frame = getFrame())
        if (AEffGUIEditor* editor = frame->getEditor()) editor->endEdit(tag_);
    if (listener_) listener_->controlEndEdit(this);
}
