// How many states a parameter's control has and what value each state
// stands for, by tag: buttons and selectors step through states, knobs and
// sliders are continuous.
#pragma once

#include <cstdint>

struct ControlStates {
    int32_t count;  // 0: continuous
    float factor;   // state index x factor is the normalised value
};

ControlStates controlStatesOf(int32_t tag);

// Tags a MIDI controller may move: every host parameter and the section
// switches; not the editor's own copies and commands (the follower-sign lamp,
// the meter and preset buttons).
bool controllerCanMove(int32_t tag);

// The normalised value a controller value 0..127 gives the tag: value / 127
// for a continuous parameter, the nearest state for the others (a switch is
// on from 64). Values outside 0..127 are held to that range.
float controllerValue(int32_t tag, int32_t midiValue);
