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

// clampf(softClip(u), -1, 0.99) lane by lane, in fewer steps from u to the
// result, as each sample waits for the one before: softClip never goes below
// -1 (every float from -2 to 2 checked), and |clamp(u, -2, 2)| is min(|u|, 2).
inline __m128 overdriveClipLanes(__m128 u) {
    const __m128 c = clampLanes(u, _mm_set1_ps(-2.0f), _mm_set1_ps(2.0f));
    const __m128 magnitude = _mm_min_ps(_mm_set1_ps(2.0f), _mm_andnot_ps(_mm_set1_ps(-0.0f), u));
    const __m128 clipped = _mm_mul_ps(c, _mm_sub_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_set1_ps(0.25f), magnitude)));
    return _mm_min_ps(_mm_set1_ps(0.99f), clipped);
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

ORVEL_ALIGN_STACK void PreampStage::process(StereoSample* frames, int32_t n, float* overdriveLeft) {
    struct Values {
        float drive, feedback, trim, gain, selection;
    };
    ParamRamp drive = drive_, feedback = feedback_, trim = trim_, gain = gain_, selection = selection_;
    const __m128 gMinus1 = _mm_set1_ps(hpCoefficients_.gMinus1);
    const __m128 invGPlus1 = _mm_set1_ps(hpCoefficients_.invGPlus1);
    __m128 prev = loadLanes(highPassState_);
    __m128 driven = loadLanes(driven_);
    // UnitTrim: the trim is exactly 1 (overdrive settings below about 0.28),
    // so its product, the last step of each sample's wait for the one
    // before, is left out.
    const auto run = [&]<bool UnitTrim>(auto next) {
        for (int32_t i = 0; i < n; ++i) {
            const Values c = next();
            const __m128 in = toLanes(frames[i]);
            // FirstOrderHighPass::processMultiply on the bounded input, then the state bound.
            const __m128 bounded = clampLanes(in, _mm_set1_ps(-kInputLimit), _mm_set1_ps(kInputLimit));
            const __m128 v = highPassStateLanes<false>(bounded, prev, gMinus1, invGPlus1);
            const __m128 hp = _mm_sub_ps(v, prev);
            prev = clampLanes(v, _mm_set1_ps(-kStateLimit), _mm_set1_ps(kStateLimit));
            // The overdrive, fed back its own previous output.
            const __m128 u =
                _mm_add_ps(_mm_mul_ps(hp, _mm_set1_ps(c.drive)), _mm_mul_ps(driven, _mm_set1_ps(c.feedback)));
            const __m128 clipped = overdriveClipLanes(u);
            driven = UnitTrim ? clipped : _mm_mul_ps(clipped, _mm_set1_ps(c.trim));
            if (overdriveLeft) overdriveLeft[i] = _mm_cvtss_f32(driven);
            const float s = c.selection;
            if (s == 0.0f) continue;
            const __m128 stage = _mm_mul_ps(driven, _mm_set1_ps(c.gain));
            if (s == 1.0f) frames[i] = fromLanes(stage);
            else
                frames[i] =
                    fromLanes(_mm_add_ps(_mm_mul_ps(in, _mm_set1_ps(1.0f - s)), _mm_mul_ps(stage, _mm_set1_ps(s))));
        }
    };
    const auto step = [&] { return Values{drive.next(), feedback.next(), trim.next(), gain.next(), selection.next()}; };
    if (allSettled(drive, feedback, trim, gain, selection)) {
        // Settled ramps give one value each until the next control block.
        const Values c = n > 0 ? step() : Values{};
        const auto same = [c] { return c; };
        if (c.trim == 1.0f) run.template operator()<true>(same);
        else run.template operator()<false>(same);
    } else {
        run.template operator()<false>(step);
    }
    storeLanes(highPassState_, prev);
    storeLanes(driven_, driven);
    drive_ = drive;
    feedback_ = feedback;
    trim_ = trim;
    gain_ = gain;
    selection_ = selection;
}
