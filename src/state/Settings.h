// Start-up of the settings: first-run defaults, the move from the old single
// preset folder value, and the global MIDI switches.
#pragma once

#include "plugin/ProductIdentity.h"

// The settings value of GlobalSwitches::midiAutomation (0 or 1).
constexpr const char* kMidiAutomationSetting = "midiAutomation";

struct GlobalSwitches {
    float ignorePrgChange = 1.0f;     // non-zero: incoming program changes are dropped
    float ccMapRecallIsolate = 0.0f;  // non-zero: loads keep the current controller map
    float midiAutomation = 0.0f;      // non-zero: MIDI moves are reported to the host as automation
};

// Runs once from the plug-in's construction, before the presets are read.
GlobalSwitches loadSettings(const char* productName = product::kName);
