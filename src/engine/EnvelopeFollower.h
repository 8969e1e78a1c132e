// The envelope follower on the dry signal: a peak hold, then a first-order
// smoother whose feedback takes the output of two samples back.
#pragma once

#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoSample.h"

class EnvelopeFollower {
public:
    void setSpeed(float v, const EngineContext& ctx);

    // Per sample, on the larger signed sample of the two channels.
    void detect(float dryL, float dryR) {
        const StereoSample dry{dryL, dryR};
        detect(&dry, 1);
    }
    void detect(const StereoSample* dry, int32_t n);

    // The detector frame by frame with its state in registers; store() writes it back.
    class Run {
    public:
        explicit Run(EnvelopeFollower& f)
            : f_(f), hold_(f.hold_), k_(f.holdK_), b0_(f.b0_), a1_(f.a1_), h1_(f.h1_), h2_(f.h2_), y1_(f.y1_),
              y2_(f.y2_) {}
        void step(float x) {
            const float h = hold_.process(x, k_);
            const float y = b0_ * (h + h1_) + a1_ * y2_;
            h2_ = h1_;
            h1_ = h;
            y2_ = y1_;
            y1_ = y;
        }
        void store() {
            f_.hold_ = hold_;
            f_.h1_ = h1_;
            f_.h2_ = h2_;
            f_.y1_ = y1_;
            f_.y2_ = y2_;
        }

    private:
        EnvelopeFollower& f_;
        PeakHold hold_;
        const float k_, b0_, a1_;
        float h1_, h2_, y1_, y2_;
    };
    float envelope() const { return y1_; }

    float holdCoefficient() const { return holdK_; }
    float b0() const { return b0_; }
    float a1() const { return a1_; }

private:
    float holdK_ = 0.0f;
    float b0_ = 0.0f;
    float a1_ = 0.0f;
    PeakHold hold_;
    float h1_ = 0.0f, h2_ = 0.0f; // the last two inputs
    float y1_ = 0.0f, y2_ = 0.0f; // the last two outputs
};
