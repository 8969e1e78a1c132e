// The state-variable filter shared by the resonant filter and the equaliser's
// crossover. Its coefficients come from two fixed 11 x 11 tables indexed by a
// frequency position (columns) and a resonance position (rows).
#pragma once

#include "engine/StereoLanes.h"

constexpr int kSvfTableSize = 11;

// Row by row: index = i + 11 * j (i frequency step, j resonance step).
extern const float svfFrequencyTable[kSvfTableSize * kSvfTableSize];
extern const float svfDampingTable[kSvfTableSize * kSvfTableSize];

struct SvfCoefficients {
    float g = 0.0f; // frequency coefficient
    float k = 0.0f; // damping coefficient
};

// Bilinear lookup at frequency position p and resonance position r (both >= 0).
// Between columns 1 and 9 the weight runs from 0.5 to 1.5, so values are
// extrapolated from the pair below; from p = 10.5 column 10 stands alone.
SvfCoefficients svfLookup(float p, float r);
// The same along resonance row `row` only.
SvfCoefficients svfRowLookup(float p, int row);

struct SvfOutputs {
    float high;
    float band;
    float low; // one sample late
};

// One channel of the recurrence. States get 1e-18 added so that a decaying
// filter never becomes denormal.
struct SvfChannel {
    float hpPrev = 0.0f;
    float bpState = 0.0f;
    float lpState = 0.0f;
    float lpPrev = 0.0f;

    SvfOutputs process(float x, const SvfCoefficients& c) {
        const float bp = bpState + c.g * hpPrev;
        bpState = bp + 1e-18f;
        const float lp = lpState + c.g * bpState;
        const float hp = (x - c.k * bpState) - (lp + 1e-18f);
        lpState = lp + 1e-18f;
        hpPrev = hp;
        const SvfOutputs out{hp, 2.0f * bp, lpPrev};
        lpPrev = lp;
        return out;
    }
};

struct SvfLaneOutputs {
    __m128 high;
    __m128 band;
    __m128 low; // one sample late
};

// Both channels of the recurrence in one vector, lane by lane the operations
// of SvfChannel.
struct SvfStereo {
    float hpPrev[4] = {};
    float bpState[4] = {};
    float lpState[4] = {};
    float lpPrev[4] = {};

    SvfLaneOutputs process(__m128 x, const SvfCoefficients& c) {
        const __m128 g = _mm_set1_ps(c.g);
        const __m128 guard = _mm_set1_ps(1e-18f);
        const __m128 bp = _mm_add_ps(loadLanes(bpState), _mm_mul_ps(g, loadLanes(hpPrev)));
        const __m128 bpNext = _mm_add_ps(bp, guard);
        const __m128 lp = _mm_add_ps(loadLanes(lpState), _mm_mul_ps(g, bpNext));
        const __m128 hp = _mm_sub_ps(_mm_sub_ps(x, _mm_mul_ps(_mm_set1_ps(c.k), bpNext)), _mm_add_ps(lp, guard));
        const SvfLaneOutputs out{hp, _mm_mul_ps(_mm_set1_ps(2.0f), bp), loadLanes(lpPrev)};
        storeLanes(bpState, bpNext);
        storeLanes(lpState, _mm_add_ps(lp, guard));
        storeLanes(hpPrev, hp);
        storeLanes(lpPrev, lp);
        return out;
    }
};
