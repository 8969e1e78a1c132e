// The entry records of option menus: short tables the editor writes its
// menus from, and the entries a menu keeps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

class ZuControl;
class ZuOptionMenu;

enum ZuOptionMenuEntryFlags : uint32_t {
    kZuEntryTitle = 1u << 0, // shown, never chosen
};

// One row of a menu table: text and value.
struct ZuOptionMenuUserEntry {
    const char* text;
    int32_t value;
};

// The same with flags.
struct ZuOptionMenuUserEntryLong {
    const char* text;
    int32_t value;
    uint32_t flags;
};

// An entry of a menu; with a sub-menu (owned) it opens that instead of being chosen.
struct ZuOptionMenuEntryInfo {
    std::string text;
    int32_t value = 0;
    uint32_t flags = 0;
    std::unique_ptr<ZuOptionMenu> subMenu;

    bool isTitle() const { return (flags & kZuEntryTitle) != 0; }
    bool canBeChosen() const { return !isTitle() && !subMenu; }
};

// Lets the owner of a menu (a control that opened it as its context menu,
// or any other party) react to a choice.
class ZuOptionMenuExtraCallBack {
public:
    virtual ~ZuOptionMenuExtraCallBack() = default;
    // menu: the menu that was opened; owner: the control it was opened for
    // (null when the menu opened itself); value: the chosen entry's value.
    virtual void optionMenuChosen(ZuOptionMenu* menu, ZuControl* owner, int32_t value) = 0;
};
