#include "engine/PreampStage.h"

#include <cmath>

#include "engine/ModuleMath.h"
#include "engine/StereoLanes.h"

namespace {
// The high-pass in front of the overdrive integrates whatever its small
// coefficient lets through: a run of samples near the float range would carry
// its state to infinity, and inf - inf then poisons the stage for good. Any
// input beyond this bound drives the overdrive into its clip just the same,
// and the state bound keeps it finite for any input at all.
constexpr float kInputLimit = 1e6f;
constexpr float kStateLimit = 1e30f;

// FirstOrderHighPass::processMultiply on the bounded input, then the state
// bound, in each lane.
__m128 highPassBounded(float (&state)[4], __m128 x, const FirstOrderCoefficients& c) {
    const __m128 prev = loadLanes(state);
    const __m128 in = clampLanes(x, _mm_set1_ps(-kInputLimit), _mm_set1_ps(kInputLimit));
    const __m128 v = _mm_mul_ps(_mm_sub_ps(in, _mm_mul_ps(_mm_set1_ps(c.gMinus1), prev)), _mm_set1_ps(c.invGPlus1));
    storeLanes(state, clampLanes(v, _mm_set1_ps(-kStateLimit), _mm_set1_ps(kStateLimit)));
    return _mm_sub_ps(v, prev);
}
} // namespace

void PreampStage::setHighPass(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float u = 0.276f * v;
    // The factor 44100/fs comes on top of the 1/fs inside the angle, so the
    // cutoff in hertz halves when the rate doubles.
    const float fh = 20000.0f * (u * u) * ctx.constants.inverseRateRatio;
    const float fc = clampf(fh, 0.0f, fs);
    cutoffHz_ = fc;
    hpCoefficients_.set(prewarp(fc * ctx.constants.piStep));
}

void PreampStage::setOverdrive(float v) {
    const float d = 48.0f * (v * v * v) + 1.0f;
    driveTarget_ = d;
    feedbackTarget_ = d * 0.020833334f * 0.1f * 0.02f;
    trimTarget_ = clampf(1.3f * std::pow(1.0f - d * 0.020833334f, 6.0f), 0.2f, 1.0f);
}

void PreampStage::controlBlock() {
    drive_.setTarget(driveTarget_);
    feedback_.setTarget(feedbackTarget_);
    trim_.setTarget(trimTarget_);
    gain_.setTarget(gainTarget_);
    selection_.setTarget(on_ ? 1.0f : 0.0f);
}

ORVEL_ALIGN_STACK StereoSample PreampStage::process(StereoSample gated) {
    const float drive = drive_.next();
    const float feedback = feedback_.next();
    const float trim = trim_.next();
    const float gain = gain_.next();
    const __m128 in = toLanes(gated);
    const __m128 hp = highPassBounded(highPassState_, in, hpCoefficients_);
    // The overdrive, fed back its own previous output.
    const __m128 u = _mm_add_ps(_mm_mul_ps(hp, _mm_set1_ps(drive)), _mm_mul_ps(loadLanes(driven_), _mm_set1_ps(feedback)));
    const __m128 clipped = clampLanes(softClipLanes(u), _mm_set1_ps(-1.0f), _mm_set1_ps(0.99f));
    const __m128 driven = _mm_mul_ps(clipped, _mm_set1_ps(trim));
    storeLanes(driven_, driven);
    const __m128 stage = _mm_mul_ps(driven, _mm_set1_ps(gain));
    const float s = selection_.next();
    if (s == 1.0f) return fromLanes(stage);
    if (s == 0.0f) return gated;
    const __m128 sv = _mm_set1_ps(s);
    return fromLanes(_mm_add_ps(_mm_mul_ps(in, _mm_set1_ps(1.0f - s)), _mm_mul_ps(stage, sv)));
}
