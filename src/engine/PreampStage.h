// The preamp stage: a first-order high-pass, an overdrive with a little
// feedback of its own output, and the preamp gain. The overdrive runs whether
// or not the stage is switched in, so switching it in finds warm state.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/BuildingBlocks.h"
#include "engine/EngineContext.h"
#include "engine/StereoLanes.h"
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
    // The same with the stages around it in the one loop, so that their
    // recursions overlap the overdrive's: each frame is before(frame) on its
    // way in, and after(stage output) sees it on its way out.
    template <typename Before, typename After>
    ORVEL_ALIGN_STACK void run(StereoSample* frames, int32_t n, float* overdriveLeft, Before before, After after);

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

namespace overdrive {
// The high-pass in front of the overdrive integrates whatever its small
// coefficient lets through: a run of samples near the float range would carry
// its state to infinity, and inf - inf then poisons the stage for good. Any
// input beyond this bound drives the overdrive into its clip just the same,
// and the state bound keeps it finite for any input at all.
constexpr float kInputLimit = 1e6f;
constexpr float kStateLimit = 1e30f;

// Four times clampf(softClip(u), -1, 0.99) lane by lane, in fewer steps from
// u to the result, as each sample waits for the one before: softClip never
// goes below -1 (every float from -2 to 2 checked), |clamp(u, -2, 2)| is
// min(|u|, 2), and 1 - m/4 is (4 - m)/4. Scaling by a power of two commutes
// with rounding, so the result is exactly four times the clip's, down to
// the results that flush to zero (the stage runs with denormals off).
inline __m128 clipTimesFourLanes(__m128 u) {
    const __m128 c = clampLanes(u, _mm_set1_ps(-2.0f), _mm_set1_ps(2.0f));
    const __m128 magnitude = _mm_min_ps(_mm_set1_ps(2.0f), _mm_andnot_ps(_mm_set1_ps(-0.0f), u));
    const __m128 clipped = _mm_mul_ps(c, _mm_sub_ps(_mm_set1_ps(4.0f), magnitude));
    return _mm_min_ps(_mm_set1_ps(4.0f * 0.99f), clipped);
}
} // namespace overdrive

template <typename Before, typename After>
ORVEL_ALIGN_STACK void PreampStage::run(StereoSample* frames, int32_t n, float* overdriveLeft, Before before,
                                        After after) {
    struct Values {
        float drive, feedback, trim, gain, selection;
    };
    ParamRamp drive = drive_, feedback = feedback_, trim = trim_, gain = gain_, selection = selection_;
    const __m128 gMinus1 = _mm_set1_ps(hpCoefficients_.gMinus1);
    const __m128 invGPlus1 = _mm_set1_ps(hpCoefficients_.invGPlus1);
    __m128 prev = loadLanes(highPassState_);
    __m128 driven = loadLanes(driven_);
    // Four times the overdrive's output: the feedback takes it times a
    // quarter of its coefficient, which is driven times the coefficient bit
    // for bit, one multiply sooner.
    __m128 driven4 = _mm_mul_ps(driven, _mm_set1_ps(4.0f));
    // UnitTrim: the trim is exactly 1 (overdrive settings below about 0.28),
    // so its product, the last step of each sample's wait for the one
    // before, is left out.
    const auto loop = [&]<bool UnitTrim>(auto next) {
        for (int32_t i = 0; i < n; ++i) {
            const Values c = next();
            const StereoSample input = before(frames[i]);
            const __m128 in = toLanes(input);
            // FirstOrderHighPass::processMultiply on the bounded input, then the state bound.
            const __m128 bounded =
                clampLanes(in, _mm_set1_ps(-overdrive::kInputLimit), _mm_set1_ps(overdrive::kInputLimit));
            const __m128 v = highPassStateLanes<false>(bounded, prev, gMinus1, invGPlus1);
            const __m128 hp = _mm_sub_ps(v, prev);
            prev = clampLanes(v, _mm_set1_ps(-overdrive::kStateLimit), _mm_set1_ps(overdrive::kStateLimit));
            // The overdrive, fed back its own previous output.
            const __m128 u = _mm_add_ps(_mm_mul_ps(hp, _mm_set1_ps(c.drive)),
                                        _mm_mul_ps(driven4, _mm_set1_ps(0.25f * c.feedback)));
            const __m128 clipped4 = overdrive::clipTimesFourLanes(u);
            driven4 = UnitTrim ? clipped4 : _mm_mul_ps(clipped4, _mm_set1_ps(c.trim));
            driven = _mm_mul_ps(driven4, _mm_set1_ps(0.25f));
            if (overdriveLeft) overdriveLeft[i] = _mm_cvtss_f32(driven);
            const float s = c.selection;
            StereoSample out = input;
            if (s != 0.0f) {
                const __m128 stage = _mm_mul_ps(driven, _mm_set1_ps(c.gain));
                out = s == 1.0f ? fromLanes(stage)
                                : fromLanes(_mm_add_ps(_mm_mul_ps(in, _mm_set1_ps(1.0f - s)),
                                                       _mm_mul_ps(stage, _mm_set1_ps(s))));
            }
            frames[i] = out;
            after(out);
        }
    };
    const auto step = [&] { return Values{drive.next(), feedback.next(), trim.next(), gain.next(), selection.next()}; };
    if (allSettled(drive, feedback, trim, gain, selection)) {
        // Settled ramps give one value each until the next control block.
        const Values c = n > 0 ? step() : Values{};
        const auto same = [c] { return c; };
        if (c.trim == 1.0f) loop.template operator()<true>(same);
        else loop.template operator()<false>(same);
    } else {
        loop.template operator()<false>(step);
    }
    storeLanes(highPassState_, prev);
    storeLanes(driven_, driven);
    drive_ = drive;
    feedback_ = feedback;
    trim_ = trim;
    gain_ = gain;
    selection_ = selection;
}
