// Pop-up menus. A click opens the entry list as a modal view of the frame;
// choosing an entry makes its value the menu's value and reports it. Entries
// may be titles (never chosen) or open sub-menus as nested lists.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "editor/ZuControl.h"
#include "editor/ZuOptionMenuEntry.h"

class CFrame;
class ZuMenuHelper;

class ZuOptionMenu : public ZuControl, public CControlListener {
public:
    // Tags under which the pop-up's own parts report to their menu.
    enum PopupPart { kPartList = 0, kPartScrollbar = 1, kPartScrollUp = 2, kPartScrollDown = 3 };

    ZuOptionMenu(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background = nullptr,
                 uint32_t style = 0);
    ~ZuOptionMenu() override;

    uint32_t getStyle() const { return style_; }
    void setStyle(uint32_t style) { style_ = style; }

    void addEntry(const std::string& text, int32_t value, uint32_t flags = 0);
    void addEntries(const ZuOptionMenuUserEntry* entries, int32_t count);
    void addEntries(const ZuOptionMenuUserEntryLong* entries, int32_t count);
    // Takes ownership of the sub-menu, which then reports its choices through this menu.
    ZuOptionMenu* addSubMenu(const std::string& text, std::unique_ptr<ZuOptionMenu> menu, int32_t value);
    // Entries and sub-menus go; the choice is cleared (value 0).
    void removeAllEntries();
    int32_t getNbEntries() const { return int32_t(entries_.size()); }
    const ZuOptionMenuEntryInfo* getEntry(int32_t index) const;
    // The index of the first entry with that value, or -1.
    int32_t findValue(int32_t value) const;
    ZuOptionMenu* getParentMenu() const { return parent_; }

    // -1 when nothing is chosen.
    int32_t getChosenIndex() const { return chosen_; }
    // Chooses the entry as a click in the pop-up does: the menu (and every
    // menu above it) takes the value, the top menu reports it. Titles and
    // sub-menu entries are refused (false).
    bool choose(int32_t index);

    // Shown while no entry is chosen.
    void setShownText(const std::string& text);
    // The chosen entry's text, or the shown text while none is chosen.
    virtual std::string getShownText() const;
    void setFont(const CFontDesc& font) { font_ = font; }
    const CFontDesc& getFont() const { return font_; }
    void setTextColor(const CColor& c) { textColor_ = c; }
    void setShowText(bool on) { showText_ = on; }
    bool showsText() const { return showText_; }
    void setExtraCallBack(ZuOptionMenuExtraCallBack* callback) { extra_ = callback; }

    // A bound cell holds the chosen value as a normalised number; the value
    // is the position the engine takes there for the menu's tag, of factor
    // positions.
    void setBoundFactor(float factor) { boundFactor_ = factor; }
    void refreshFromBound() override;

    // Opens the entry list at the point (its top left, kept inside the frame);
    // owner: the control the menu serves as context menu, or null.
    bool popup(CFrame* frame, const CPoint& where, ZuControl* owner = nullptr);
    void closePopup();
    bool isPopupOpen() const;
    ZuMenuHelper* getPopup() const;
    ZuControl* getOwner() const { return owner_; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;

    // The pop-up's parts report here (tags 0 to 3).
    void valueChanged(CControl* part) override;

protected:
    const std::string& shownText() const { return shownText_; }
    // Just before the list opens for owner (null when the menu opened
    // itself): a menu whose entries depend on it makes them here.
    virtual void aboutToOpen(ZuControl*) {}
    // This menu's own entry was chosen.
    virtual void entryChosen() {}
    // An entry of a sub-menu (child, directly below this one) was chosen.
    virtual void subMenuChosen(ZuOptionMenu*) {}
    ZuOptionMenu* rootMenu();

private:
    void markChosen(int32_t index);

    uint32_t style_;
    std::vector<ZuOptionMenuEntryInfo> entries_;
    ZuOptionMenu* parent_ = nullptr;
    int32_t chosen_ = -1;
    std::string shownText_;
    CFontDesc font_;
    CColor textColor_ = kWhiteCColor;
    bool showText_ = true;
    ZuOptionMenuExtraCallBack* extra_ = nullptr;
    float boundFactor_ = 1.0f;

    // the open list; kept after closing until the next opening, since it
    // closes from within its own event handling
    std::unique_ptr<ZuMenuHelper> popup_;
    CFrame* popupFrame_ = nullptr;
    ZuControl* owner_ = nullptr;
};
