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
    PeakHold hold = hold_;
    const float k = holdK_, b0 = b0_, a1 = a1_;
    float h1 = h1_, h2 = h2_, y1 = y1_, y2 = y2_;
    for (int32_t i = 0; i < n; ++i) {
        const float h = hold.process(detectorInput(dry[i]), k);
        const float y = b0 * (h + h1) + a1 * y2;
        h2 = h1;
        h1 = h;
        y2 = y1;
        y1 = y;
    }
    hold_ = hold;
    h1_ = h1;
    h2_ = h2;
    y1_ = y1;
    y2_ = y2;
}
