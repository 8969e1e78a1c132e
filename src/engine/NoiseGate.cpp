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

StereoSample NoiseGate::process(StereoSample in) {
    // While switched off the detector keeps its state and resumes from it.
    if (on_) {
        const float held = level_.process(detectorInput(in), holdK_);
        open_ = threshold_ < held ? 1.0f : 0.0f;
        const float heldOpen = openHold_.process(open_, holdK_);
        value_ = smoother_.process(heldOpen, smoothA_);
    }
    return in * gain_.next();
}
