// The input noise gate: a held level against the threshold, the open flag held
// for the same time and smoothed, and a gain ramp toward the result.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class NoiseGate {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setThreshold(float v);
    void setSpeed(float v, const EngineContext& ctx);

    void controlBlock() { gain_.setTarget(on_ ? value_ : 1.0f); }
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    class Run;

    float open() const { return open_; }
    float value() const { return value_; }
    float gain() const { return gain_.current; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float threshold_ = 0.0f; // squared threshold control, linear amplitude
    float holdK_ = 0.0f;
    float smoothA_ = 0.0f;
    PeakHold level_;
    PeakHold openHold_;
    LagSmoother smoother_;
    float open_ = 0.0f;
    float value_ = 0.0f;
    ParamRamp gain_;
};

// The gate frame by frame with its state in locals, so that a caller can step
// it inside the loop of the stage after it: the detector's recursion then
// overlaps that stage's own. store() writes the state back.
class NoiseGate::Run {
public:
    explicit Run(NoiseGate& gate)
        : gate_(gate), on_(gate.on_), k_(gate.holdK_), a_(gate.smoothA_), threshold_(gate.threshold_),
          level_(gate.level_), openHold_(gate.openHold_), smoother_(gate.smoother_), open_(gate.open_),
          value_(gate.value_), gain_(gate.gain_), unit_(gate.gain_.settled() && gate.gain_.current == 1.0f) {}

    StereoSample step(StereoSample in) {
        // While switched off the detector keeps its state and resumes from it.
        if (on_) {
            const float held = level_.process(detectorInput(in), k_);
            open_ = threshold_ < held ? 1.0f : 0.0f;
            value_ = smoother_.process(openHold_.process(open_, k_), a_);
        }
        // A gain settled at exactly 1 would give the frame itself.
        return unit_ ? in : in * gain_.next();
    }

    void store() {
        gate_.level_ = level_;
        gate_.openHold_ = openHold_;
        gate_.smoother_ = smoother_;
        gate_.open_ = open_;
        gate_.value_ = value_;
        gate_.gain_ = gain_;
    }

private:
    NoiseGate& gate_;
    const bool on_;
    const float k_, a_, threshold_;
    PeakHold level_, openHold_;
    LagSmoother smoother_;
    float open_, value_;
    ParamRamp gain_;
    const bool unit_;
};
