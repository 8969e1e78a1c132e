// The vertical scroll bar of a long pop-up list: its value is the first row
// shown, 0..(rows - visible rows); a press or drag on the track moves it.
#pragma once

#include "gui/CControl.h"

class ZuScrollbarY : public CControl {
public:
    ZuScrollbarY(const CRect& size, CControlListener* listener, int32_t tag, int32_t rows, int32_t visibleRows);

    int32_t firstRow() const { return int32_t(getValue()); }
    int32_t lastFirstRow() const { return int32_t(getMax()); }
    // The thumb's place on the track, for drawing and hit testing.
    CRect thumbRect() const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

private:
    void followMouse(const CPoint& where);

    int32_t rows_, visibleRows_;
    bool dragging_ = false;
};
