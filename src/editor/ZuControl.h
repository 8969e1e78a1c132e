// The base of the editor's controls: a visibility group checked against the
// editor's mask, an engine cell the control mirrors at every idle tick, host
// edit gestures around drags, a context menu and an info text.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "gui/CControl.h"

class ZuOptionMenu;

class ZuControl : public CControl {
public:
    static constexpr int32_t kGroupCount = 128;

    ZuControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr);

    // Groups outside 0..127 fall back to 0, the always-shown group.
    void setGroup(int32_t group);
    int32_t getGroup() const { return group_; }
    // Four 32-bit words (bit g is bit g mod 32 of word g / 32), owned by the
    // editor; null means always visible.
    void setMask(const std::atomic<uint32_t>* mask);
    const std::atomic<uint32_t>* getMask() const { return mask_; }

    void setEnabled(bool on);
    bool isEnabled() const { return enabled_; }
    // Enabled, shown by the view, and the group's bit set in the mask.
    bool isVisible() const override;

    // Mirrors the cell: value = (cell - minimum) / (maximum - minimum).
    // An empty or non-finite range is refused (false) and leaves the control
    // unbound; a null cell unbinds it.
    bool bindValue(const float* cell, float minimum = 0.0f, float maximum = 1.0f);
    const float* getBoundValue() const { return bound_; }
    float getBoundMinimum() const { return boundMin_; }
    float getBoundMaximum() const { return boundMax_; }

    bool isTracking() const { return tracking_; }

    // Not owned: the editor keeps the menu.
    void setContextMenu(ZuOptionMenu* menu) { contextMenu_ = menu; }
    ZuOptionMenu* getContextMenu() const { return contextMenu_; }

    void setEditGestures(bool on) { editGestures_ = on; }
    bool hasEditGestures() const { return editGestures_; }

    void setInfoText(const std::string& text) { info_ = text; }
    // A text made when asked (a value that changes), instead of the fixed one.
    void setInfoSource(std::function<std::string()> source) { infoSource_ = std::move(source); }
    virtual std::string getInfoText() const { return infoSource_ ? infoSource_() : info_; }

    // Called on every idle tick: takes the bound cell's value when visible,
    // not tracking and bound, and marks the control dirty when it changed.
    virtual void refreshFromBound();

    // The host's knob mode, one setting for every control of the module.
    static void setKnobMode(int32_t mode);
    static int32_t getKnobMode();

protected:
    // The bound cell as a normalised value, or the control's own value when unbound.
    float currentNormalised() const;
    void setTracking(bool on) { tracking_ = on; }
    // Gestures only when the control is enabled for them.
    void beginGesture();
    void endGesture();
    // Opens the context menu at the point with this control as its owner;
    // false when there is none.
    bool openContextMenu(const CPoint& where);
    // Value changed and reported, within a gesture.
    void reportInGesture(float value);

private:
    int32_t group_ = 0;
    const std::atomic<uint32_t>* mask_ = nullptr;
    bool enabled_ = true;
    const float* bound_ = nullptr;
    float boundMin_ = 0.0f, boundMax_ = 1.0f;
    bool tracking_ = false;
    ZuOptionMenu* contextMenu_ = nullptr;
    bool editGestures_ = true;
    std::string info_ = "no info";
    std::function<std::string()> infoSource_;
};
