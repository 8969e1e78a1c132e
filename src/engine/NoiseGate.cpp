#include "engine/NoiseGate.h"

#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void NoiseGate::setThreshold(float v) {
    const float t = mapping::steps(v);
    threshold_ = t * t;
}

void NoiseGate::setSpeed(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float holdMs = 400.0f - 390.0f * v;
    holdK_ = 1.0f / (0.001f * fs * holdMs + 1e-09f);
    smoothA_ = clampf((0.25f * 390.0f * v + 2.0f) * ctx.constants.smoothingStep, 0.0f, 1.0f);
}

void NoiseGate::process(StereoSample* frames, int32_t n) {
    Run run(*this);
    for (int32_t i = 0; i < n; ++i) frames[i] = run.step(frames[i]);
    run.store();
}
