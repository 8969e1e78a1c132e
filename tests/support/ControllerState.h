// A state layout that carries only a controller map, for setting a plug-in's
// map through the host chunk: every other value keeps what it was.
#pragma once

#include <utility>
#include <vector>

#include "support/StateWords.h"

using ControllerLists = std::vector<std::pair<int32_t, std::vector<int32_t>>>; // number -> tags

inline std::vector<uint8_t> controllerState(const ControllerLists& lists) {
    StateWords s;
    s.header().add({-1});
    for (const auto& [number, tags] : lists) {
        s.add({number});
        for (int32_t tag : tags) s.add({tag, 0});
        s.add({-2});
    }
    s.add({-3, 1}).addString("midi");
    return s.currentTail().bytes();
}
