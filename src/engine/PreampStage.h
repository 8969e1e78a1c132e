// The preamp stage: a first-order high-pass, an overdrive with a little
// feedback of its own output, and the preamp gain. The overdrive runs whether
// or not the stage is switched in, so switching it in finds warm state.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class PreampStage {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setHighPass(float v, const EngineContext& ctx);
    void setOverdrive(float v);
    void setGain(float v) { gainTarget_ = 12.0f * v * v * v * v; }

    void controlBlock();
    // The stage output: the overdrive times the gain when switched in, else the
    // input. A switch crossfades between the two over the next control block,
    // as the gate and compressor switches ramp their gains, instead of
    // stepping from one signal to an unrelated one.
    StereoSample process(StereoSample gated) {
        process(&gated, 1, nullptr);
        return gated;
    }
    // In place on n frames; overdriveLeft, unless null, receives each frame's
    // left overdrive output.
    void process(StereoSample* frames, int32_t n, float* overdriveLeft);

    float cutoffHz() const { return cutoffHz_; }
    float driveTarget() const { return driveTarget_; }
    float feedbackTarget() const { return feedbackTarget_; }
    float trimTarget() const { return trimTarget_; }
    StereoSample overdriveOut() const { return {driven_[0], driven_[1]}; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float cutoffHz_ = 0.0f;
    FirstOrderCoefficients hpCoefficients_;
    float highPassState_[4] = {}; // the high-pass's v[n-1], left and right
    float driveTarget_ = 0.0f, feedbackTarget_ = 0.0f, trimTarget_ = 0.0f, gainTarget_ = 0.0f;
    ParamRamp drive_, feedback_, trim_, gain_;
    ParamRamp selection_; // 0 the input, 1 the overdrive times the gain
    float driven_[4] = {}; // each channel's previous overdrive output
};
