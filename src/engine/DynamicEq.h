// Three-band dynamic equaliser after the compressor: a state-variable
// crossover splits low, mid and high; each band's gain falls as the band gets
// louder, times the band's level; the bands are summed again.
#pragma once

#include <atomic>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StateVariableFilter.h"
#include "engine/StereoSample.h"

enum EqBand { kEqLow = 0, kEqMid = 1, kEqHigh = 2 };

class DynamicEq {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setSplit(float v, const EngineContext& ctx);
    void setResponse(float v, const EngineContext& ctx);
    void setBandAmount(EqBand band, float v) { bands_[band].amount = v; }
    void setBandLevel(EqBand band, float v) { bands_[band].level = 2.0f * v; }

    void controlBlock();
    // The stage output: the summed bands with dyn on, the input with it off.
    // The crossover and the detectors run in both cases.
    StereoSample process(StereoSample in);

    struct Band {
        float holdK = 0.0f;
        float smoothA = 0.0f;
        PeakHold hold;
        LagSmoother smoother;
        float env = 0.0f;
        float amount = 0.0f; // 0..1
        float level = 0.0f;  // 0..2
        ParamRamp gain;
    };
    const Band& band(EqBand b) const { return bands_[b]; }
    const SvfCoefficients& crossover() const { return crossover_; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    SvfCoefficients crossover_;
    SvfChannel left_, right_;
    Band bands_[3];
};
