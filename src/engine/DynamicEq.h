// Three-band dynamic equaliser after the compressor: a state-variable
// crossover splits low, mid and high; each band's gain falls as the band gets
// louder, times the band's level; the bands are summed again.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StateVariableFilter.h"
#include "engine/StereoLanes.h"
#include "engine/StereoSample.h"

enum EqBand { kEqLow = 0, kEqMid = 1, kEqHigh = 2 };

class DynamicEq {
public:
    void setSwitch(float on) { on_ = on >= 0.5f; }
    void setSplit(float v, const EngineContext& ctx);
    void setResponse(float v, const EngineContext& ctx);
    void setBandAmount(EqBand band, float v) { amount_[band] = v; }
    void setBandLevel(EqBand band, float v) { level_[band] = 2.0f * v; }

    void controlBlock();
    // The stage output: the summed bands with dyn on, the input with it off.
    // The crossover and the detectors run in both cases.
    StereoSample process(StereoSample in) {
        process(&in, 1);
        return in;
    }
    // In place on n frames.
    void process(StereoSample* frames, int32_t n);

    class Run;

    float bandEnvelope(EqBand b) const { return lanes_.y1[b]; }
    float bandGain(EqBand b) const { return lanes_.gain[b]; }
    const SvfCoefficients& crossover() const { return crossover_; }

private:
    // The three bands' detectors and gain ramps side by side, one band per
    // lane (low, mid, high; lane 3 unused): PeakHold, LagSmoother and
    // ParamRamp, lane by lane.
    struct BandLanes {
        float holdK[4] = {};
        float smoothA[4] = {};
        float held[4] = {}, dec[4] = {};
        float y1[4] = {}, y2[4] = {}, h1[4] = {}; // y1: the envelope
        float gain[4] = {}, inc[4] = {};
    };

    std::atomic<bool> on_{false}; // set from the thread that applies the switch
    SvfCoefficients crossover_;
    SvfStereo split_;
    BandLanes lanes_;
    float amount_[3] = {}; // 0..1
    float level_[3] = {};  // 0..2
};

// The stage frame by frame with its state in registers, so that a caller can
// run it in one loop with the stages after it: their recursions then overlap
// instead of waiting on each other. store() writes the state back.
class DynamicEq::Run {
public:
    explicit Run(DynamicEq& eq)
        : eq_(eq), on_(eq.on_), split_(eq.split_.load()), g_(_mm_set1_ps(eq.crossover_.g)),
          k_(_mm_set1_ps(eq.crossover_.k)), holdK_(loadLanes(eq.lanes_.holdK)),
          smoothA_(loadLanes(eq.lanes_.smoothA)), inc_(loadLanes(eq.lanes_.inc)), held_(loadLanes(eq.lanes_.held)),
          dec_(loadLanes(eq.lanes_.dec)), y1_(loadLanes(eq.lanes_.y1)), y2_(loadLanes(eq.lanes_.y2)),
          h1_(loadLanes(eq.lanes_.h1)), gain_(loadLanes(eq.lanes_.gain)) {}

    bool on() const { return on_; }
    __m128 step(__m128 in) { return on_ ? step<true>(in) : step<false>(in); }
    // The same with the switch known where it is called.
    template <bool On> __m128 step(__m128 in) {
        const SvfLaneOutputs s = SvfStereo::step(split_, in, g_, k_);
        // Left and right of each band, bands in lanes.
        const __m128 lowMid = _mm_unpacklo_ps(s.low, s.band);
        const __m128 highZero = _mm_unpacklo_ps(s.high, _mm_setzero_ps());
        const __m128 left = _mm_movelh_ps(lowMid, highZero);
        const __m128 right = _mm_movehl_ps(highZero, lowMid);
        const __m128 detected = _mm_max_ps(left, right); // detectorInput per band
        lagSmoothLanes(peakHoldLanes(detected, holdK_, held_, dec_), smoothA_, y1_, y2_, h1_);
        gain_ = _mm_add_ps(gain_, inc_);
        if constexpr (!On) return in;
        return _mm_add_ps(_mm_add_ps(_mm_mul_ps(s.low, _mm_shuffle_ps(gain_, gain_, _MM_SHUFFLE(0, 0, 0, 0))),
                                     _mm_mul_ps(s.band, _mm_shuffle_ps(gain_, gain_, _MM_SHUFFLE(1, 1, 1, 1)))),
                          _mm_mul_ps(s.high, _mm_shuffle_ps(gain_, gain_, _MM_SHUFFLE(2, 2, 2, 2))));
    }

    void store() {
        BandLanes& b = eq_.lanes_;
        eq_.split_.store(split_);
        storeLanes(b.held, held_);
        storeLanes(b.dec, dec_);
        storeLanes(b.y1, y1_);
        storeLanes(b.y2, y2_);
        storeLanes(b.h1, h1_);
        storeLanes(b.gain, gain_);
    }

private:
    DynamicEq& eq_;
    const bool on_;
    SvfStereo::Live split_;
    const __m128 g_, k_, holdK_, smoothA_, inc_;
    __m128 held_, dec_, y1_, y2_, h1_, gain_;
};
