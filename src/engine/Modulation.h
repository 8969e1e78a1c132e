// LFO and envelope follower with their two rows of modulation slots.
#pragma once

#include "engine/EngineContext.h"

enum ModDestination {
    kModFilterFrequency = 0,
    kModFilterResonance,
    kModDelayTime,
    kModDelayFeedback,
    kModDelayLevel,
    kModReverbRoom,
    kModReverbDecay,
    kModReverbLevel,
};

class Modulation {
public:
    void setLfoSpeed(float v, const EngineContext& ctx);
    void setLfoAmount(float v);
    void setLfoPower(float on);
    void setLfoSync(float on);
    void setLfoTarget(float destination);
    void setFollowerSpeed(float v, const EngineContext& ctx);
    void setFollowerAmount(float v);
    void setFollowerPower(float on);
    void setFollowerInvert(float on);
    void setFollowerTarget(float destination);

    // Per sample: the follower's detector on the dry signal.
    void detect(float dryL, float dryR);
    // Per control block: advance the LFO and write both slot rows.
    void controlBlock(const EngineContext& ctx);
    // Sum of both rows at a destination 0..7.
    float at(int destination) const { return lfoSlots_[destination + 1] + followerSlots_[destination + 1]; }
    // The LFO's current rate in Hz (the editor's rate indicator).
    float lfoRate() const { return 0.0f; }

private:
    float lfoSlots_[9] = {};
    float followerSlots_[9] = {};
};
