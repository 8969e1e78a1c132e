// Stereo comb and all-pass reverb (being built).
#pragma once

#include "effects/ZuEffect.h"

class ZuReverb : public ZuEffect {
public:
    explicit ZuReverb(EngineContext* context);
    ~ZuReverb() override;
};
