// What the information line says about a control under the mouse: its name
// and its value in the units of the panel's readouts.
#pragma once

#include <cstdint>
#include <string>

struct EditorReadouts;
class ZuControl;

// "Master 0.0db", "Gate on", "LFO destination Filter Freq". cells: the engine
// cells the controls are bound to.
std::string controlInfo(const ZuControl& control, const float* cells, const EditorReadouts& readouts);

// The word a switch's state goes by ("off", "band-pass"); null for a control without words.
const char* controlStateWord(int32_t tag, int32_t state);
