// The open pop-up of an option menu: a modal view over the whole frame that
// holds one list panel per open menu level (the menu, then each nested
// sub-menu). A press outside every panel closes it. Long lists scroll with a
// scroll bar and two arrow buttons.
#pragma once

#include <vector>

#include "gui/CControl.h"
#include "gui/CViewContainer.h"

class CFrame;
class ZuMenuPanel;
class ZuOptionMenu;
class ZuScrollbarY;

class ZuMenuHelper : public CViewContainer {
public:
    static constexpr CCoord kRowHeight = 16;
    static constexpr CCoord kBorder = 2;
    static constexpr CCoord kScrollWidth = 12;

    // Covers the frame; opens the first level at the point.
    ZuMenuHelper(CFrame* frame, ZuOptionMenu* menu, const CPoint& where);

    CFrame* getFrame() const { return frame_; }
    bool isOpen() const { return open_; }
    // Takes the modal place of the frame / gives it up.
    void show();
    void close();

    int32_t levelCount() const { return int32_t(levels_.size()); }
    ZuMenuPanel* level(int32_t depth) const;
    // The level that lists this menu, or null.
    ZuMenuPanel* panelOf(const ZuOptionMenu* menu) const;
    // Opens the sub-menu of the panel's entry as the next level (deeper
    // levels close).
    void openSubMenu(ZuMenuPanel* from, int32_t entryIndex);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    bool onWheel(const CPoint& where, float distance, const CButtonState& buttons) override;

private:
    ZuMenuPanel* openLevel(ZuOptionMenu* menu, CPoint where, const CRect* besides);
    void closeLevelsFrom(int32_t depth);

    CFrame* frame_;
    std::vector<ZuMenuPanel*> levels_; // children of this view
    bool open_ = false;
};

// One level: the rows of a menu with, for a long list, the scroll parts.
class ZuMenuPanel : public CViewContainer {
public:
    ZuMenuPanel(const CRect& size, ZuOptionMenu* menu, int32_t visibleRows, int32_t depth);

    ZuOptionMenu* getMenu() const { return menu_; }
    int32_t depth() const { return depth_; }
    int32_t visibleRows() const { return visibleRows_; }
    int32_t firstRow() const { return first_; }
    bool scrolls() const { return scrollbar_ != nullptr; }
    ZuScrollbarY* scrollbar() const { return scrollbar_; }
    CRect listRect() const;
    // The entry index at the point, or -1.
    int32_t entryAt(const CPoint& where) const;
    // Kept within 0..(entries - visible rows).
    void scrollTo(int32_t first);
    void setHover(int32_t entry);
    int32_t hover() const { return hover_; }
    // Where the entry's row is on screen.
    CRect rowRect(int32_t entry) const;

    void drawRect(CDrawContext* context, const CRect& area, const CView* skip = nullptr) override;

private:
    ZuOptionMenu* menu_;
    int32_t visibleRows_, depth_;
    int32_t first_ = 0;
    int32_t hover_ = -1;
    ZuScrollbarY* scrollbar_ = nullptr;
};
