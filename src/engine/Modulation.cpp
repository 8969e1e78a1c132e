#include "engine/Modulation.h"

#include "engine/ModuleMath.h"

void Modulation::writeRow(float (&row)[kModSlots], float power, float destination, float value) {
    for (float& s : row) s = 0.0f;
    // A source that is off writes 0 (value times power), wherever it lands.
    const float at = power + destination;
    const int slot = at > 0.0f ? (at < kModSlots - 1 ? static_cast<int>(at) : kModSlots - 1) : 0;
    row[slot] = value * power;
}

void Modulation::controlBlock(const EngineContext& ctx) {
    const float value = lfo_.advance(ctx);
    writeRow(lfoSlots_, lfoPower_, lfoTarget_, value * lfoDepth_);
    const float e = clampf(followerDepth_ * follower_.envelope(), 0.0f, 1.0f);
    writeRow(followerSlots_, followerPower_, followerTarget_, e * followerSign_);
}
