#include "engine/DynamicEq.h"

#include "engine/ModuleMath.h"
#include "params/Mappings.h"

void DynamicEq::setSplit(float v, const EngineContext& ctx) {
    const float u = 0.8f * v;
    const float x = u * u * u;
    crossover_ = svfRowLookup(10.0f * x * ctx.constants.rateRatio, 1);
}

void DynamicEq::setResponse(float v, const EngineContext& ctx) {
    const float fs = ctx.sampleRate;
    const float r = mapping::steps(0.999f - 0.949f * v);
    const float r2 = r * r;
    // Longer holds come with slower smoothing; the low band's frequency
    // deliberately starts from 999, not 1000.
    struct Shape {
        float holdMs;
        float smoothHz;
    };
    const Shape shapes[3] = {
        {1000.0f * r2, 999.0f - 1000.0f * r2},
        {750.0f * r2, 750.0f - 750.0f * r2},
        {450.0f * r2, 450.0f - 450.0f * r2},
    };
    for (int b = 0; b < 3; ++b) {
        lanes_.holdK[b] = peakHoldCoefficient(shapes[b].holdMs, fs);
        lanes_.smoothA[b] = clampf(shapes[b].smoothHz * ctx.constants.smoothingStep, 0.0f, 1.0f);
    }
}

void DynamicEq::controlBlock() {
    for (int b = 0; b < 3; ++b) {
        const float r = clampf(lanes_.y1[b] * amount_[b], 0.0f, 0.8f);
        ParamRamp ramp{lanes_.gain[b], lanes_.inc[b]};
        ramp.setTarget((1.0f - r) * level_[b]);
        lanes_.gain[b] = ramp.current;
        lanes_.inc[b] = ramp.inc;
    }
}

ORVEL_ALIGN_STACK void DynamicEq::process(StereoSample* frames, int32_t n) {
    const bool on = on_;
    BandLanes& b = lanes_;
    SvfStereo::Live split = split_.load();
    const __m128 g = _mm_set1_ps(crossover_.g), k = _mm_set1_ps(crossover_.k);
    const __m128 holdK = loadLanes(b.holdK), smoothA = loadLanes(b.smoothA), inc = loadLanes(b.inc);
    __m128 held = loadLanes(b.held), dec = loadLanes(b.dec);
    __m128 y1 = loadLanes(b.y1), y2 = loadLanes(b.y2), h1 = loadLanes(b.h1);
    __m128 gain = loadLanes(b.gain);
    for (int32_t i = 0; i < n; ++i) {
        const SvfLaneOutputs s = SvfStereo::step(split, toLanes(frames[i]), g, k);
        // Left and right of each band, bands in lanes.
        const __m128 lowMid = _mm_unpacklo_ps(s.low, s.band);
        const __m128 highZero = _mm_unpacklo_ps(s.high, _mm_setzero_ps());
        const __m128 left = _mm_movelh_ps(lowMid, highZero);
        const __m128 right = _mm_movehl_ps(highZero, lowMid);
        const __m128 detected = _mm_max_ps(left, right); // detectorInput per band
        lagSmoothLanes(peakHoldLanes(detected, holdK, held, dec), smoothA, y1, y2, h1);
        gain = _mm_add_ps(gain, inc);
        if (!on) continue;
        const __m128 sum = _mm_add_ps(
            _mm_add_ps(_mm_mul_ps(s.low, _mm_shuffle_ps(gain, gain, _MM_SHUFFLE(0, 0, 0, 0))),
                       _mm_mul_ps(s.band, _mm_shuffle_ps(gain, gain, _MM_SHUFFLE(1, 1, 1, 1)))),
            _mm_mul_ps(s.high, _mm_shuffle_ps(gain, gain, _MM_SHUFFLE(2, 2, 2, 2))));
        frames[i] = fromLanes(sum);
    }
    split_.store(split);
    storeLanes(b.held, held);
    storeLanes(b.dec, dec);
    storeLanes(b.y1, y1);
    storeLanes(b.y2, y2);
    storeLanes(b.h1, h1);
    storeLanes(b.gain, gain);
}
