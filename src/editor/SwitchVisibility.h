// Which control groups of the editor each editor switch shows and hides.
#pragma once

#include <cstdint>

#include "editor/VisibilityMask.h"

struct SwitchVisibility {
    int32_t tag;
    int parentBit;
    int firstBit, lastBit; // the range examined
    int offBit;            // controlled, shown in state 0
    int onBit;             // controlled, shown in state 1
};

// The row for an editor switch tag; null when the tag has none.
const SwitchVisibility* switchVisibilityFor(int32_t tag);

// With the parent group hidden, every controlled group in the range is hidden;
// otherwise each shows exactly when it belongs to the switch's state.
void applySwitchVisibility(const SwitchVisibility& row, float state, VisibilityMask& mask);
