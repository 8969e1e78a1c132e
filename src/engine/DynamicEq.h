// Three-band dynamic equaliser after the compressor.
#pragma once

#include "engine/Dynamics.h"
#include "engine/EngineContext.h"

enum EqBand { kEqLow = 0, kEqMid = 1, kEqHigh = 2 };

class DynamicEq {
public:
    void setSwitch(float on);
    void setSplit(float v, const EngineContext& ctx);
    void setResponse(float v, const EngineContext& ctx);
    void setBandAmount(EqBand band, float v);
    void setBandLevel(EqBand band, float v);

    void controlBlock();
    // The stage output: the summed bands with dyn on, the input with it off.
    StereoSample process(StereoSample in);
};
