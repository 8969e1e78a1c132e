// The editor's top view. Besides what the toolkit's frame does (modal pop-up
// routing, hit testing, dirty redraws) it refreshes every control from its
// bound engine value and knows the control under the mouse, for info
// displays.
#pragma once

#include "gui/CFrame.h"

class ZuControl;
class ZuOptionMenu;

class ZuFrame : public CFrame {
public:
    ZuFrame(const CRect& size, void* systemWindow, AEffGUIEditor* editor);

    // Every control of the tree re-reads its bound engine value.
    void refreshControls();
    // The visible control under the last mouse position; null while a pop-up
    // is open or the mouse is elsewhere.
    const ZuControl* getHoveredControl() const;

    // Opened by a right click on the panel where no control takes it; not owned.
    void setPanelMenu(ZuOptionMenu* menu) { panelMenu_ = menu; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    void platformMouseDown(CPoint where, CButtonState buttons, uint32_t timeMs) override;
    void platformMouseMoved(CPoint where, CButtonState buttons) override;

private:
    ZuOptionMenu* panelMenu_ = nullptr;
    bool mouseKnown_ = false;
    CPoint mouse_;
};
