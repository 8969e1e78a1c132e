// A view with a value: tag, value within minimum..maximum, default value and
// a listener that hears of changes. Edit gestures reach the host through the
// frame's editor.
#pragma once

#include <cstdint>

#include "gui/CView.h"

class CBitmap;
class CControl;

class CControlListener {
public:
    virtual ~CControlListener() = default;
    virtual void valueChanged(CControl* control) = 0;
    virtual int32_t controlModifierClicked(CControl*, CButtonState) { return 0; }
    virtual void controlBeginEdit(CControl*) {}
    virtual void controlEndEdit(CControl*) {}
};

class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0, CBitmap* background = nullptr);
    ~CControl() override;

    void setTag(int32_t tag) { tag_ = tag; }
    int32_t getTag() const { return tag_; }
    void setListener(CControlListener* l) { listener_ = l; }
    CControlListener* getListener() const { return listener_; }

    // Marks the control dirty when the value changes.
    virtual void setValue(float value);
    virtual float getValue() const { return value_; }
    void setMin(float v) { min_ = v; }
    void setMax(float v) { max_ = v; }
    float getMin() const { return min_; }
    float getMax() const { return max_; }
    void setDefaultValue(float v) { default_ = v; }
    virtual float getDefaultValue() const { return default_; }
    // Keeps the value within minimum..maximum.
    void bounceValue();

    // Takes a reference to the bitmap (null clears it).
    void setBackground(CBitmap* bitmap);
    CBitmap* getBackground() const { return background_; }

    // Reports the current value to the listener.
    void notifyValueChanged();
    // Begin and end of a host edit gesture for this control's tag.
    void beginEdit();
    void endEdit();

private:
    int32_t tag_;
    CControlListener* listener_;
    CBitmap* background_ = nullptr;
    float value_ = 0.0f, min_ = 0.0f, max_ = 1.0f, default_ = 0.5f;
};
