// Stereo bar-length delay with a gliding read head (being built).
#pragma once

#include "effects/ZuBPMChangeInterface.h"
#include "effects/ZuEffect.h"

class ZuDelay : public ZuEffect, public ZuBPMChangeInterface {
public:
    explicit ZuDelay(EngineContext* context);
    ~ZuDelay() override;
    void tempoChanged() override { timingChanged(true); }
    // Called when the host's sample rate is accepted, before the recompute
    // that follows: the place to size the lines for the slowest tempo.
    void prepareForSampleRate(float /*fs*/) {}
};
