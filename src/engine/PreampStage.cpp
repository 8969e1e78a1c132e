#include "engine/PreampStage.h"

#include <cmath>

#include "engine/ModuleMath.h"

namespace {
// The high-pass in front of the overdrive integrates whatever its small
// coefficient lets through: a run of samples near the float range would carry
// its state to infinity, and inf - inf then poisons the stage for good. Any
// input beyond this bound drives the overdrive into its clip just the same,
// and the state bound keeps it finite for any input at all.
constexpr float kInputLimit = 1e6f;
constexpr float kStateLimit = 1e30f;

float highPassBounded(FirstOrderHighPass& hp, float x, const FirstOrderCoefficients& c) {
    const float y = hp.processMultiply(clampf(x, -kInputLimit, kInputLimit), c);
    hp.vPrev = clampf(hp.vPrev, -kStateLimit, kStateLimit);
    return y;
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

float PreampStage::overdrive(float hp, float& prev, float drive, float feedback, float trim) {
    const float u = hp * drive + prev * feedback;
    const float y = clampf(softClip(u), -1.0f, 0.99f);
    prev = y * trim;
    return prev;
}

StereoSample PreampStage::process(StereoSample gated) {
    const float drive = drive_.next();
    const float feedback = feedback_.next();
    const float trim = trim_.next();
    const float gain = gain_.next();
    const float hpL = highPassBounded(hpL_, gated.l, hpCoefficients_);
    const float hpR = highPassBounded(hpR_, gated.r, hpCoefficients_);
    const StereoSample driven{overdrive(hpL, prevL_, drive, feedback, trim),
                              overdrive(hpR, prevR_, drive, feedback, trim)};
    const StereoSample stage = driven * gain;
    const float s = selection_.next();
    if (s == 1.0f) return stage;
    if (s == 0.0f) return gated;
    return {gated.l * (1.0f - s) + stage.l * s, gated.r * (1.0f - s) + stage.r * s};
}
