#include "plugin/ControllerMap.h"

#include <algorithm>

namespace {
void removeFrom(ControllerList& list, int16_t target) {
    list.erase(std::remove_if(list.begin(), list.end(), [target](const ControllerEntry& e) { return e.target == target; }),
               list.end());
}
} // namespace

void ControllerMap::removeTarget(int16_t target) {
    for (ControllerList& l : lists) removeFrom(l, target);
    removeFrom(extraAssignments, target);
}

bool ControllerMap::empty() const {
    return extraAssignments.empty() && std::all_of(lists.begin(), lists.end(), [](const ControllerList& l) { return l.empty(); });
}
