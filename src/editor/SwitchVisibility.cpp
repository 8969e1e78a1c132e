#include "editor/SwitchVisibility.h"

namespace {
constexpr SwitchVisibility kRows[] = {
    {41, 0, 10, 15, 10, 15}, // gate
    {45, 0, 12, 17, 12, 17}, // comp
    {46, 0, 11, 16, 11, 16}, // preamp
    {59, 2, 5, 6, 5, 6},     // efinvertbmp
    {72, 19, 1, 2, 1, 2},    // Switch_c
    {96, 0, 13, 18, 13, 18}, // dyn
    {97, 0, 14, 19, 14, 19}, // fxwitch
};
} // namespace

const SwitchVisibility* switchVisibilityFor(int32_t tag) {
    for (const SwitchVisibility& row : kRows)
        if (row.tag == tag) return &row;
    return nullptr;
}

void applySwitchVisibility(const SwitchVisibility& row, float state, VisibilityMask& mask) {
    const bool parentShown = mask.test(row.parentBit);
    const bool on = state >= 1.0f;
    for (int bit = row.firstBit; bit <= row.lastBit; ++bit) {
        const bool controlled = bit == row.offBit || bit == row.onBit;
        if (!controlled) continue;
        const bool shown = on ? bit == row.onBit : bit == row.offBit;
        mask.set(bit, parentShown && shown);
    }
}
