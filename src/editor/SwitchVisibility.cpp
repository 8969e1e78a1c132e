#include "editor/SwitchVisibility.h"

#include "params/ParameterTags.h"

namespace {
constexpr SwitchVisibility kRows[] = {
    {kTagGate, 0, 10, 15, 10, 15},           // its cover, or the gate
    {kTagComp, 0, 12, 17, 12, 17},           // its cover, or the compressor
    {kTagPreamp, 0, 11, 16, 11, 16},         // its cover, or the preamp
    {kTagFollowerInvertLamp, 2, 5, 6, 5, 6}, // the lamp for "+" or for inverted, on the follower page
    {kTagModulationPage, 19, 1, 2, 1, 2},    // the LFO page or the follower page, in the effects
    {kTagDyn, 0, 13, 18, 13, 18},            // its cover, or the dynamic equaliser
    {kTagFxSwitch, 0, 14, 19, 14, 19},       // its cover, or the effects section
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
