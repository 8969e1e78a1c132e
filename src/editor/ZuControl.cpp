#include "editor/ZuControl.h"

#include <atomic>
#include <cmath>

#include "editor/ZuOptionMenu.h"
#include "gui/CFrame.h"

namespace {
std::atomic<int32_t> gKnobMode{0};
}

ZuControl::ZuControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CControl(size, listener, tag, background) {}

void ZuControl::setGroup(int32_t group) { group_ = group >= 0 && group < kGroupCount ? group : 0; }

void ZuControl::setMask(const std::atomic<uint32_t>* mask) {
    mask_ = mask;
    setDirty(true);
}

void ZuControl::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    setDirty(true);
}

bool ZuControl::isVisible() const {
    if (!enabled_ || !CControl::isVisible()) return false;
    return !mask_ || ((mask_[group_ / 32].load() >> (group_ % 32)) & 1u) != 0;
}

bool ZuControl::bindValue(const float* cell, float minimum, float maximum) {
    bound_ = nullptr;
    if (!cell) return true;
    const float range = maximum - minimum;
    if (!std::isfinite(minimum) || !std::isfinite(maximum) || !std::isfinite(range) || range == 0.0f) return false;
    bound_ = cell;
    boundMin_ = minimum;
    boundMax_ = maximum;
    return true;
}

float ZuControl::currentNormalised() const {
    if (!bound_) return getValue();
    return (*bound_ - boundMin_) / (boundMax_ - boundMin_);
}

void ZuControl::refreshFromBound() {
    if (!bound_ || tracking_ || !isVisible()) return;
    const float v = currentNormalised();
    if (v != getValue()) setValue(v); // setValue marks the control dirty
}

void ZuControl::setKnobMode(int32_t mode) { gKnobMode.store(mode); }
int32_t ZuControl::getKnobMode() { return gKnobMode.load(); }

void ZuControl::beginGesture() {
    if (editGestures_) beginEdit();
}

void ZuControl::endGesture() {
    if (editGestures_) endEdit();
}

bool ZuControl::openContextMenu(const CPoint& where) {
    if (!contextMenu_) return false;
    CFrame* frame = getFrame();
    if (!frame) return false;
    contextMenu_->popup(frame, where, this);
    return true;
}

void ZuControl::reportInGesture(float value) {
    beginGesture();
    setValue(value);
    notifyValueChanged();
    endGesture();
    setDirty(true);
}
