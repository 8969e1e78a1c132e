// Start-up of the settings: first-run defaults, the move from the old single
// preset folder value, and the two global MIDI switches.
#pragma once

#include "plugin/ProductIdentity.h"

struct GlobalSwitches {
    float ignorePrgChange = 1.0f;     // non-zero: incoming program changes are dropped
    float ccMapRecallIsolate = 0.0f;  // non-zero: loads keep the current controller map
};

// Runs once from the plug-in's construction, before the presets are read.
GlobalSwitches loadSettings(const char* productName = product::kName);
