#include "engine/Compressor.h"

#include <cmath>

#include "engine/ModuleMath.h"
#include "engine/StereoLanes.h"
#include "params/Mappings.h"

void Compressor::setSpeed(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float t = mapping::steps(0.999f - 0.989f * v);
    const float p = std::pow(t, 0.15f);
    holdK_ = peakHoldCoefficient(1000.0f * t, fs);
    smoothA_ = clampf((100.0f - 100.0f * p + 8.0f) * ctx.constants.smoothingStep, 0.0f, 1.0f);
}

void Compressor::controlBlock() {
    float target = 1.0f;
    reduction_ = 0.0f;
    if (on_) {
        reduction_ = clampf(detection_.env * amount_, 0.0f, 0.8f);
        target = 1.0f - reduction_;
    }
    gain_.setTarget(target);
}

void Compressor::process(StereoSample* frames, int32_t n) {
    Detector detector(*this);
    for (int32_t i = 0; i < n; ++i) detector.step(frames[i]);
    detector.store();
    applyGain(frames, n);
}

ORVEL_ALIGN_STACK void Compressor::applyGain(StereoSample* frames, int32_t n) {
    // Two frames to a vector, each with its own step of the gain.
    ParamRamp gain = gain_;
    int32_t i = 0;
    const bool settled = gain.settled() && n > 0;
    const __m128 held = _mm_set1_ps(settled ? gain.next() : 0.0f);
    for (; i + 2 <= n; i += 2) {
        __m128 g = held;
        if (!settled) {
            const float first = gain.next();
            g = _mm_movelh_ps(_mm_set1_ps(first), _mm_set1_ps(gain.next()));
        }
        float* const at = &frames[i].l;
        _mm_storeu_ps(at, _mm_mul_ps(g, softClipLanes(_mm_loadu_ps(at))));
    }
    for (; i < n; ++i)
        frames[i] = fromLanes(_mm_mul_ps(_mm_set1_ps(gain.next()), softClipLanes(toLanes(frames[i]))));
    gain_ = gain;
}
