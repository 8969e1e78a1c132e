#include "editor/ZuButton.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"
#include "params/SwitchPositions.h"

ZuButton::ZuButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* images, int32_t states,
                   Mode mode, CCoord imageHeight)
    : ZuControl(size, listener, tag, images), states_(2), mode_(mode),
      imageHeight_(imageHeight > 0 ? imageHeight : size.height()) {
    setStates(states);
    setDefaultValue(0.0f);
}

void ZuButton::setStates(int32_t states) {
    states_ = states >= 2 ? states : 2;
    setMin(0.0f);
    setMax(float(states_ - 1));
    bounceValue();
}

int32_t ZuButton::getState() const {
    const float v = getValue();
    if (!(v > 0.0f)) return 0;
    const int32_t s = v >= float(states_ - 1) ? states_ - 1 : int32_t(v + 0.001f);
    return s;
}

void ZuButton::draw(CDrawContext* context) {
    if (!isVisible()) return;
    const CRect& r = getViewSize();
    const int32_t state = mode_ == kMomentary && pressed_ ? 1 : getState();
    CBitmap* images = getBackground();
    if (images && images->isLoaded()) {
        // a strip shorter than the states shows its last image
        const int32_t available = imageHeight_ > 0 ? images->getHeight() / imageHeight_ : 0;
        const int32_t index = state < available ? state : (available > 0 ? available - 1 : 0);
        images->drawTransparent(context, r, CPoint(0, index * imageHeight_));
    } else {
        context->setFrameColor(kWhiteCColor);
        if (state > 0) {
            context->setFillColor(CColor{90, 90, 90, 255});
            context->fillRect(r);
        }
        context->drawRect(r);
    }
    if (!text_.empty()) {
        context->setFont(font_);
        context->setFontColor(textColor_);
        context->drawString(text_.c_str(), r);
    }
}

CMouseEventResult ZuButton::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!getViewSize().pointInside(where) || !isVisible()) return kMouseEventNotHandled;
    if (buttons & kRButton) {
        if (openContextMenu(where)) return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        if (mode_ == kStepping && states_ > 2) {
            if (getState() != 0) reportInGesture(0.0f);
            return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
        }
        return kMouseEventNotHandled;
    }
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    pressed_ = true;
    if (mode_ == kMomentary) {
        beginGesture();
        setValue(1.0f);
        notifyValueChanged();
        setDirty(true);
        return kMouseEventHandled;
    }
    const int32_t next = getState() + 1;
    reportInGesture(next >= states_ ? 0.0f : float(next));
    return kMouseEventHandled;
}

CMouseEventResult ZuButton::onMouseUp(CPoint&, const CButtonState&) {
    if (!pressed_) return kMouseEventNotHandled;
    pressed_ = false;
    if (mode_ == kMomentary) {
        setValue(0.0f);
        notifyValueChanged();
        endGesture();
    }
    setDirty(true);
    return kMouseEventHandled;
}

void ZuButton::refreshFromBound() {
    if (!getBoundValue() || isTracking() || pressed_ || !isVisible()) return;
    const float state = mapping::position(getTag(), mapping::unit(currentNormalised()), states_);
    if (state != getValue()) setValue(state);
}
