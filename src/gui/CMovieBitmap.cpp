#include "gui/CMovieBitmap.h"

#include "gui/CBitmap.h"
#include "gui/CDrawContext.h"

CMovieBitmap::CMovieBitmap(const CRect& size, CControlListener* listener, int32_t tag, int32_t imageCount,
                           CCoord imageHeight, CBitmap* strip, bool transparent)
    : CControl(size, listener, tag, strip), count_(imageCount), imageHeight_(imageHeight), transparent_(transparent) {}

int32_t CMovieBitmap::imageIndex() const {
    float range = getMax() - getMin();
    float v = range > 0 ? (getValue() - getMin()) / range : 0.0f;
    v = v < 0 ? 0 : v > 1 ? 1 : v;
    return int32_t(float(count_ - 1) * v);
}

void CMovieBitmap::draw(CDrawContext* context) {
    CBitmap* strip = getBackground();
    if (!strip) return;
    CPoint offset(0, imageIndex() * imageHeight_);
    if (transparent_)
        strip->drawTransparent(context, getViewSize(), offset);
    else
        strip->draw(context, getViewSize(), offset);
}
