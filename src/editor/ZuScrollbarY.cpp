#include "editor/ZuScrollbarY.h"

#include <algorithm>

#include "gui/CDrawContext.h"

ZuScrollbarY::ZuScrollbarY(const CRect& size, CControlListener* listener, int32_t tag, int32_t rows,
                           int32_t visibleRows)
    : CControl(size, listener, tag), rows_(std::max(rows, 1)), visibleRows_(std::clamp(visibleRows, 1, rows_)) {
    setMin(0.0f);
    setMax(float(rows_ - visibleRows_));
}

CRect ZuScrollbarY::thumbRect() const {
    const CRect& r = getViewSize();
    const CCoord track = r.height();
    const CCoord thumb = std::max<CCoord>(8, track * visibleRows_ / rows_);
    const int32_t last = lastFirstRow();
    const CCoord top = last > 0 ? r.top + (track - thumb) * firstRow() / last : r.top;
    return CRect(r.left, top, r.right, std::min(top + thumb, r.bottom));
}

void ZuScrollbarY::draw(CDrawContext* context) {
    context->setFillColor(CColor{40, 40, 40, 255});
    context->fillRect(getViewSize());
    context->setFillColor(CColor{150, 150, 150, 255});
    context->fillRect(thumbRect());
}

void ZuScrollbarY::followMouse(const CPoint& where) {
    const CRect& r = getViewSize();
    const CRect thumb = thumbRect();
    const CCoord travel = r.height() - thumb.height();
    const int32_t last = lastFirstRow();
    int32_t row = 0;
    if (travel > 0 && last > 0) {
        const CCoord pos = where.y - r.top - thumb.height() / 2;
        row = int32_t((int64_t(pos) * last + travel / 2) / travel);
    }
    row = std::clamp(row, 0, last);
    if (row == firstRow()) return;
    setValue(float(row));
    notifyValueChanged();
}

CMouseEventResult ZuScrollbarY::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    dragging_ = true;
    followMouse(where);
    return kMouseEventHandled;
}

CMouseEventResult ZuScrollbarY::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!dragging_ || !(buttons & kLButton)) return kMouseEventNotHandled;
    followMouse(where);
    return kMouseEventHandled;
}

CMouseEventResult ZuScrollbarY::onMouseUp(CPoint&, const CButtonState&) {
    dragging_ = false;
    return kMouseEventHandled;
}
