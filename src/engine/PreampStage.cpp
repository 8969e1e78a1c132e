#include "engine/PreampStage.h"

#include <cmath>

#include "engine/ModuleMath.h"

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

void PreampStage::process(StereoSample* frames, int32_t n, float* overdriveLeft) {
    run(frames, n, overdriveLeft, [](StereoSample in) { return in; }, [](StereoSample) {});
}
