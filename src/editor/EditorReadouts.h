// The numbers the editor's meters and displays show, derived from the
// engine at every idle tick in the units they are shown in.
#pragma once

#include "editor/EditorLayout.h"

class Engine;

struct EditorReadouts {
    float value[layout::kReadoutCount] = {};

    // Reads the engine's meters and cells. The engine is written by the
    // audio thread meanwhile; a torn value shows once and is corrected at
    // the next tick.
    void derive(const Engine& engine);

    const float* cell(layout::Readout r) const { return &value[r]; }
    float operator[](layout::Readout r) const { return value[r]; }
};
