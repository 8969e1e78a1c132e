// Knobs and sliders drawn from a vertical strip of images. A drag moves the
// value by the distance (up or right increases it), Shift for fine steps;
// control-click and double click restore the default value at once.
#pragma once

#include "editor/ZuControl.h"

class ZuKnob : public ZuControl {
public:
    enum Orientation { kVertical, kHorizontal };

    static constexpr float kStep = 0.01f;      // value per pixel of drag, times the sensitivity
    static constexpr float kFineStep = 0.0005f; // the same with Shift held

    // strip: imageCount images of imageHeight pixels stacked vertically; an
    // imageHeight of 0 divides the strip's height by the count. A null or
    // unloaded strip draws the value as text instead.
    ZuKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* strip, int32_t imageCount,
           CCoord imageHeight = 0, Orientation orientation = kVertical);
    ~ZuKnob() override;

    void setSensitivity(float s) { sensitivity_ = s; }
    float getSensitivity() const { return sensitivity_; }
    Orientation getOrientation() const { return orientation_; }
    // The value follows the mouse position instead of the drag distance.
    void setAbsolute(bool on) { absolute_ = on; }
    void setResetOnRelease(bool on) { resetOnRelease_ = on; }
    // The strip holds one handle image placed along the track.
    void setHandleMode(bool on) { handle_ = on; }
    // Index min(trunc(count x v), count - 1) instead of trunc((count - 1) x v).
    void setAlternativeIndexing(bool on) { alternativeIndexing_ = on; }
    void setTransparent(bool on) { transparent_ = on; }
    // Drawn behind the strip image; takes a reference.
    void setKnobBackground(CBitmap* bitmap);
    // An indicator drawn on top from its own strip (same image count and
    // height) when the second cell's value differs from the main one.
    bool bindSecondValue(const float* cell, CBitmap* strip, float minimum = 0.0f, float maximum = 1.0f);

    int32_t getImageCount() const { return count_; }
    CCoord getImageHeight() const { return imageHeight_; }
    // The strip image shown for a normalised value.
    int32_t imageIndex(float v) const;

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseUp(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    void refreshFromBound() override;

private:
    float positionValue(const CPoint& where) const;
    void changeTo(float v);
    float secondNormalised() const;
    void drawStripImage(CDrawContext* context, CBitmap* strip, float v) const;

    CBitmap* strip_;
    int32_t count_;
    CCoord imageHeight_;
    Orientation orientation_;
    float sensitivity_ = 0.5f;
    bool absolute_ = false;
    bool resetOnRelease_ = false;
    bool handle_ = false;
    bool alternativeIndexing_ = false;
    bool transparent_ = false;
    CBitmap* knobBackground_ = nullptr;
    const float* second_ = nullptr;
    float secondMin_ = 0.0f, secondMax_ = 1.0f;
    CBitmap* secondStrip_ = nullptr;
    float secondShown_ = 0.0f;
    CPoint previous_;
};
