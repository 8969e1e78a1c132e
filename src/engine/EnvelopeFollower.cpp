#include "engine/EnvelopeFollower.h"

#include <cmath>

#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void EnvelopeFollower::setSpeed(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float t = mapping::steps(0.999f - 0.989f * v);
    const float p = std::pow(t, 0.1f);
    const float fc = clampf(400.0f * (1.0f - p), ctx.constants.followerLowerLimit, ctx.constants.followerUpperLimit);
    const float g = prewarp(fc * ctx.constants.piStep);
    holdK_ = peakHoldCoefficient(500.0f * t, fs);
    b0_ = g / (g + 1.0f);
    a1_ = (1.0f - g) / (g + 1.0f);
}

void EnvelopeFollower::detect(float dryL, float dryR) {
    const float h = hold_.process(dryL > dryR ? dryL : dryR, holdK_);
    const float y = b0_ * (h + h1_) + a1_ * y2_;
    h2_ = h1_;
    h1_ = h;
    y2_ = y1_;
    y1_ = y;
}
