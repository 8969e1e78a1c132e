// Multi-state buttons. A stepping button moves to the next state on every
// left click (wrapping to 0); a momentary one is 1 while held. The value is
// the state index; the image shown is the one of the state.
#pragma once

#include <string>

#include "editor/ZuControl.h"

class ZuButton : public ZuControl {
public:
    enum Mode { kMomentary = 0, kStepping = 1 };

    // images: one image per state of imageHeight pixels, stacked vertically;
    // an imageHeight of 0 takes the control's height. Without images the
    // button draws a frame, filled when on, and its text.
    ZuButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* images = nullptr,
             int32_t states = 2, Mode mode = kStepping, CCoord imageHeight = 0);

    // At least 2 states; the value is kept below the count.
    void setStates(int32_t states);
    int32_t getStates() const { return states_; }
    void setMode(Mode mode) { mode_ = mode; }
    Mode getMode() const { return mode_; }
    void setText(const std::string& text) { text_ = text; }
    void setFont(const CFontDesc& font) { font_ = font; }
    void setTextColor(const CColor& c) { textColor_ = c; }
    bool isPressed() const { return pressed_; }
    int32_t getState() const;

    // A bound cell holds the state as a normalised value (state / count
    // scaled into 0..1 as the editor sends it); the state shown is the
    // position the engine takes there for the button's tag.
    void refreshFromBound() override;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;

private:
    int32_t states_;
    Mode mode_;
    CCoord imageHeight_;
    bool pressed_ = false;
    std::string text_;
    CFontDesc font_;
    CColor textColor_ = kWhiteCColor;
};
