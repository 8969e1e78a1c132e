#include "editor/ZuKnob.h"

#include <cmath>
#include <cstdio>

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

namespace {

float clamp01(float v) {
    if (!(v > 0.0f)) return 0.0f; // NaN too
    return v > 1.0f ? 1.0f : v;
}

bool usable(const CBitmap* b) { return b && b->isLoaded(); }

} // namespace

ZuKnob::ZuKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* strip, int32_t imageCount,
               CCoord imageHeight, Orientation orientation)
    : ZuControl(size, listener, tag, strip), strip_(strip), count_(imageCount > 0 ? imageCount : 1),
      imageHeight_(imageHeight), orientation_(orientation) {
    if (imageHeight_ <= 0) imageHeight_ = strip ? strip->getHeight() / count_ : size.height();
}

ZuKnob::~ZuKnob() {
    setKnobBackground(nullptr);
    if (secondStrip_) secondStrip_->forget();
}

void ZuKnob::setKnobBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->remember();
    if (knobBackground_) knobBackground_->forget();
    knobBackground_ = bitmap;
    setDirty(true);
}

bool ZuKnob::bindSecondValue(const float* cell, CBitmap* strip, float minimum, float maximum) {
    const float range = maximum - minimum;
    if (cell && (!std::isfinite(range) || range == 0.0f)) return false;
    if (strip) strip->remember();
    if (secondStrip_) secondStrip_->forget();
    secondStrip_ = strip;
    second_ = cell;
    secondMin_ = minimum;
    secondMax_ = maximum;
    secondShown_ = secondNormalised();
    setDirty(true);
    return true;
}

float ZuKnob::secondNormalised() const { return second_ ? (*second_ - secondMin_) / (secondMax_ - secondMin_) : 0.0f; }

int32_t ZuKnob::imageIndex(float v) const {
    v = clamp01(v);
    if (alternativeIndexing_) {
        const int32_t i = int32_t(float(count_) * v);
        return i < count_ - 1 ? i : count_ - 1;
    }
    return int32_t(float(count_ - 1) * v);
}

void ZuKnob::drawStripImage(CDrawContext* context, CBitmap* strip, float v) const {
    const CRect& r = getViewSize();
    if (handle_) {
        const CCoord w = strip->getWidth(), h = imageHeight_;
        CRect place;
        if (orientation_ == kHorizontal) {
            const CCoord x = r.left + CCoord(float(r.width() - w) * clamp01(v));
            place = CRect(x, r.top, x + w, r.top + h);
        } else {
            const CCoord y = r.top + CCoord(float(r.height() - h) * (1.0f - clamp01(v)));
            place = CRect(r.left, y, r.left + w, y + h);
        }
        strip->drawTransparent(context, place);
        return;
    }
    const CPoint offset(0, imageIndex(v) * imageHeight_);
    if (transparent_ || strip != strip_)
        strip->drawTransparent(context, r, offset);
    else
        strip->draw(context, r, offset);
}

void ZuKnob::draw(CDrawContext* context) {
    if (!isVisible()) return;
    const CRect& r = getViewSize();
    if (usable(knobBackground_)) knobBackground_->draw(context, r);
    const float v = isTracking() ? getValue() : currentNormalised();
    if (usable(strip_)) {
        drawStripImage(context, strip_, v);
    } else {
        context->setFrameColor(kWhiteCColor);
        context->drawRect(r);
        char text[32];
        std::snprintf(text, sizeof text, "%2.2f", double(v));
        context->setFontColor(kWhiteCColor);
        context->drawString(text, r);
    }
    if (second_ && usable(secondStrip_) && secondNormalised() != v) drawStripImage(context, secondStrip_, secondNormalised());
}

float ZuKnob::positionValue(const CPoint& where) const {
    const CRect& r = getViewSize();
    if (orientation_ == kHorizontal)
        return r.width() > 0 ? clamp01(float(where.x - r.left) / float(r.width())) : 0.0f;
    return r.height() > 0 ? clamp01(1.0f - float(where.y - r.top) / float(r.height())) : 0.0f;
}

void ZuKnob::changeTo(float v) {
    if (v > getMax()) v = getMax();
    if (v < getMin()) v = getMin();
    if (v == getValue()) return;
    setValue(v);
    notifyValueChanged();
    setDirty(true);
}

CMouseEventResult ZuKnob::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!getViewSize().pointInside(where) || !isVisible()) return kMouseEventNotHandled;
    if ((buttons & (kRButton | kApple)) && getContextMenu()) {
        openContextMenu(where);
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    }
    const bool reset = (buttons & kControl) || ((buttons & kDoubleClick) && !absolute_);
    if (!reset) {
        setTracking(true);
        previous_ = where;
        beginGesture();
        if (absolute_) changeTo(positionValue(where));
        return kMouseEventHandled;
    }
    reportInGesture(getDefaultValue());
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult ZuKnob::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!isTracking() || !(buttons & (kLButton | kRButton))) return kMouseEventNotHandled;
    if (absolute_) {
        changeTo(positionValue(where));
        return kMouseEventHandled;
    }
    const CCoord d = orientation_ == kVertical ? where.y - previous_.y : previous_.x - where.x;
    previous_ = where;
    const float step = (buttons & kShift) ? kFineStep : kStep;
    changeTo(getValue() - step * sensitivity_ * float(d));
    return kMouseEventHandled;
}

CMouseEventResult ZuKnob::onMouseUp(CPoint&, const CButtonState&) {
    if (!isTracking()) return kMouseEventNotHandled;
    setTracking(false);
    if (resetOnRelease_) {
        setValue(0.5f);
        notifyValueChanged();
    }
    endGesture();
    setDirty(true);
    return kMouseEventHandled;
}

void ZuKnob::refreshFromBound() {
    ZuControl::refreshFromBound();
    if (!second_ || !isVisible()) return;
    const float s = secondNormalised();
    if (s != secondShown_) {
        secondShown_ = s;
        setDirty(true);
    }
}
