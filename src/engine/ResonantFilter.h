// The effects section's resonant state-variable filter.
#pragma once

#include "engine/Dynamics.h"
#include "engine/EngineContext.h"

class ResonantFilter {
public:
    void setCutoff(float v);
    void setResonance(float v);
    void setType(float v);

    // m1, m2: modulation at the frequency and resonance destinations.
    void controlBlock(float m1, float m2, const EngineContext& ctx);
    // The filtered and soft-clipped signal F.
    StereoSample process(StereoSample dry);
};
