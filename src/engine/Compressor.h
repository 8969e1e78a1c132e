// The compressor: a held and smoothed level sets a gain of 1 - amount * level,
// never below 0.2. Its output always passes the soft clipper.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class Compressor {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setAmount(float v) { amount_ = v * v * v; }
    void setSpeed(float v, const EngineContext& ctx);

    void controlBlock();
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    float amount() const { return amount_; }
    float envelope() const { return env_; }
    // clamp(envelope * amount, 0, 0.8) of the last control block; 0 while off.
    float reduction() const { return reduction_; }
    float gain() const { return gain_.current; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float amount_ = 0.0f;
    float holdK_ = 0.0f;
    float smoothA_ = 0.0f;
    PeakHold level_;
    LagSmoother smoother_;
    float env_ = 0.0f;
    float reduction_ = 0.0f;
    ParamRamp gain_;
};
