// The input noise gate: a held level against the threshold, the open flag held
// for the same time and smoothed, and a gain ramp toward the result.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class NoiseGate {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setThreshold(float v);
    void setSpeed(float v, const EngineContext& ctx);

    void controlBlock() { gain_.setTarget(on_ ? value_ : 1.0f); }
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    float open() const { return open_; }
    float value() const { return value_; }
    float gain() const { return gain_.current; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float threshold_ = 0.0f; // squared threshold control, linear amplitude
    float holdK_ = 0.0f;
    float smoothA_ = 0.0f;
    PeakHold level_;
    PeakHold openHold_;
    LagSmoother smoother_;
    float open_ = 0.0f;
    float value_ = 0.0f;
    ParamRamp gain_;
};
