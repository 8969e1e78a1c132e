#include "engine/DynamicEq.h"

#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void DynamicEq::setSplit(float v, const EngineContext& ctx) {
    const float u = 0.8f * v;
    const float x = u * u * u;
    crossover_ = svfRowLookup(10.0f * x * ctx.constants.rateRatio, 1);
}

void DynamicEq::setResponse(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float r = mapping::steps(0.999f - 0.949f * v);
    const float r2 = r * r;
    // Longer holds come with slower smoothing; the low band's frequency
    // deliberately starts from 999, not 1000.
    struct Shape {
        float holdMs;
        float smoothHz;
    };
    const Shape shapes[3] = {
        {1000.0f * r2, 999.0f - 1000.0f * r2},
        {750.0f * r2, 750.0f - 750.0f * r2},
        {450.0f * r2, 450.0f - 450.0f * r2},
    };
    for (int b = 0; b < 3; ++b) {
        lanes_.holdK[b] = peakHoldCoefficient(shapes[b].holdMs, fs);
        lanes_.smoothA[b] = clampf(shapes[b].smoothHz * ctx.constants.smoothingStep, 0.0f, 1.0f);
    }
}

void DynamicEq::controlBlock() {
    for (int b = 0; b < 3; ++b) {
        const float r = clampf(lanes_.y1[b] * amount_[b], 0.0f, 0.8f);
        ParamRamp ramp{lanes_.gain[b], lanes_.inc[b]};
        ramp.setTarget((1.0f - r) * level_[b]);
        lanes_.gain[b] = ramp.current;
        lanes_.inc[b] = ramp.inc;
    }
}

ORVEL_ALIGN_STACK void DynamicEq::process(StereoSample* frames, int32_t n) {
    Run run(*this);
    for (int32_t i = 0; i < n; ++i) frames[i] = fromLanes(run.step(toLanes(frames[i])));
    run.store();
}
