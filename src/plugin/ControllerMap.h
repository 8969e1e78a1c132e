// The map from MIDI controller numbers to parameter targets: one list per
// controller number 0..127 and one list of extra assignments. It is stored
// with every state; a loader rewrites it while the ccMapLock flag is raised.
// A controller moves every target of its list, and every extra assignment
// whose sub-target is its number (no parameter here has elements, so the
// sub-target of an extra assignment names the controller instead).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

constexpr int kControllerCount = 128;

struct ControllerEntry {
    int16_t target = 0;    // the tag of the parameter it moves
    int16_t subTarget = 0; // an element of that target; 0 when it has none
    bool operator==(const ControllerEntry&) const = default;
};

using ControllerList = std::vector<ControllerEntry>;

struct ControllerMap {
    std::array<ControllerList, kControllerCount> lists;
    ControllerList extraAssignments;

    void clearLists() {
        for (ControllerList& l : lists) l.clear();
    }
    // Takes a target out of every list, the extra assignments included.
    void removeTarget(int16_t target);
    bool empty() const;
};
