// The compressor: a held and smoothed level sets a gain of 1 - amount * level,
// never below 0.2. Its output always passes the soft clipper.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class Compressor {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setAmount(float v) { amount_ = v * v * v; }
    void setSpeed(float v, const EngineContext& ctx);

    void controlBlock();
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames: the detector, then the gain and the soft clip.
    void process(StereoSample* frames, int32_t n);
    // The gain and the soft clip alone, for frames whose detector has run.
    void applyGain(StereoSample* frames, int32_t n);

    class Detector;

    float amount() const { return amount_; }
    float envelope() const { return detection_.env; }
    // clamp(envelope * amount, 0, 0.8) of the last control block; 0 while off.
    float reduction() const { return reduction_; }
    float gain() const { return gain_.current; }

private:
    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    float amount_ = 0.0f;
    float holdK_ = 0.0f;
    float smoothA_ = 0.0f;
    // The detector's state, copied whole into a Detector and back.
    struct Detection {
        PeakHold level;
        LagSmoother smoother;
        float env = 0.0f;
    };
    Detection detection_;
    float reduction_ = 0.0f;
    ParamRamp gain_;
};

// The detector frame by frame with its state in locals, so that a caller can
// step it in the loop of the stage before it. store() writes the state back.
class Compressor::Detector {
public:
    explicit Detector(Compressor& c)
        : c_(c), on_(c.on_), k_(c.holdK_), a_(c.smoothA_), s_(c.detection_) {}

    void step(StereoSample in) {
        if (on_) s_.env = s_.smoother.process(s_.level.process(detectorInput(in), k_), a_);
    }
    void store() { c_.detection_ = s_; }

private:
    Compressor& c_;
    const bool on_;
    const float k_, a_;
    Detection s_;
};
