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

void EnvelopeFollower::detect(const StereoSample* dry, int32_t n) {
    Run run(*this);
    for (int32_t i = 0; i < n; ++i) run.step(detectorInput(dry[i]));
    run.store();
}
