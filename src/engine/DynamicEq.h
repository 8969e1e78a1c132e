// Three-band dynamic equaliser after the compressor: a state-variable
// crossover splits low, mid and high; each band's gain falls as the band gets
// louder, times the band's level; the bands are summed again.
#pragma once

#include <atomic>
#include <cstdint>

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
    void setBandAmount(EqBand band, float v) { amount_[band] = v; }
    void setBandLevel(EqBand band, float v) { level_[band] = 2.0f * v; }

    void controlBlock();
    // The stage output: the summed bands with dyn on, the input with it off.
    // The crossover and the detectors run in both cases.
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    float bandEnvelope(EqBand b) const { return lanes_.y1[b]; }
    float bandGain(EqBand b) const { return lanes_.gain[b]; }
    const SvfCoefficients& crossover() const { return crossover_; }

private:
    // The three bands' detectors and gain ramps side by side, one band per
    // lane (low, mid, high; lane 3 unused): PeakHold, LagSmoother and
    // ParamRamp, lane by lane.
    struct BandLanes {
        float holdK[4] = {};
        float smoothA[4] = {};
        float held[4] = {}, dec[4] = {};
        float y1[4] = {}, y2[4] = {}, h1[4] = {}; // y1: the envelope
        float gain[4] = {}, inc[4] = {};
    };

    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    SvfCoefficients crossover_;
    SvfStereo split_;
    BandLanes lanes_;
    float amount_[3] = {}; // 0..1
    float level_[3] = {};  // 0..2
};
