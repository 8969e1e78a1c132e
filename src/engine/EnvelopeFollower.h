// The envelope follower on the dry signal: a peak hold, then a first-order
// smoother whose feedback takes the output of two samples back.
#pragma once

#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class EnvelopeFollower {
public:
    void setSpeed(float v, const EngineContext& ctx);

    // Per sample, on the larger signed sample of the two channels.
    void detect(float dryL, float dryR) {
        const StereoSample dry{dryL, dryR};
        detect(&dry, 1);
    }
    void detect(const StereoSample* dry, int32_t n);
    float envelope() const { return y1_; }

    float holdCoefficient() const { return holdK_; }
    float b0() const { return b0_; }
    float a1() const { return a1_; }

private:
    float holdK_ = 0.0f;
    float b0_ = 0.0f;
    float a1_ = 0.0f;
    PeakHold hold_;
    float h1_ = 0.0f, h2_ = 0.0f; // the last two inputs
    float y1_ = 0.0f, y2_ = 0.0f; // the last two outputs
};
