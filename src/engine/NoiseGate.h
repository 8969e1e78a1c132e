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

    void controlBlock() { state_.gain.setTarget(on_ ? state_.value : 1.0f); }
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    class Run;

    float open() const { return state_.open; }
    float value() const { return state_.value; }
    float gain() const { return state_.gain.current; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float threshold_ = 0.0f; // squared threshold control, linear amplitude
    float holdK_ = 0.0f;
    float smoothA_ = 0.0f;
    // What advances sample by sample, copied whole into a Run and back.
    struct State {
        PeakHold level;
        PeakHold openHold;
        LagSmoother smoother;
        float open = 0.0f;
        float value = 0.0f;
        ParamRamp gain;
    };
    State state_;
};

// The gate frame by frame with its state in locals, so that a caller can step
// it inside the loop of the stage after it: the detector's recursion then
// overlaps that stage's own. store() writes the state back.
class NoiseGate::Run {
public:
    explicit Run(NoiseGate& gate)
        : gate_(gate), on_(gate.on_), k_(gate.holdK_), a_(gate.smoothA_), threshold_(gate.threshold_),
          s_(gate.state_), unit_(s_.gain.settled() && s_.gain.current == 1.0f) {}

    StereoSample step(StereoSample in) {
        // While switched off the detector keeps its state and resumes from it.
        if (on_) {
            const float held = s_.level.process(detectorInput(in), k_);
            s_.open = threshold_ < held ? 1.0f : 0.0f;
            s_.value = s_.smoother.process(s_.openHold.process(s_.open, k_), a_);
        }
        // A gain settled at exactly 1 would give the frame itself.
        return unit_ ? in : in * s_.gain.next();
    }

    void store() { gate_.state_ = s_; }

private:
    NoiseGate& gate_;
    const bool on_;
    const float k_, a_, threshold_;
    State s_;
    const bool unit_;
};
