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

    // The state held in registers over a run of frames.
    struct Live {
        __m128 hpPrev, bpState, lpState, lpPrev;
    };
    Live load() const { return {loadLanes(hpPrev), loadLanes(bpState), loadLanes(lpState), loadLanes(lpPrev)}; }
    void store(const Live& s) {
        storeLanes(hpPrev, s.hpPrev);
        storeLanes(bpState, s.bpState);
        storeLanes(lpState, s.lpState);
        storeLanes(lpPrev, s.lpPrev);
    }

    // g and k: the coefficients in every lane.
    static SvfLaneOutputs step(Live& s, __m128 x, __m128 g, __m128 k) {
        const __m128 guard = _mm_set1_ps(1e-18f);
        const __m128 bp = _mm_add_ps(s.bpState, _mm_mul_ps(g, s.hpPrev));
        const __m128 bpNext = _mm_add_ps(bp, guard);
        const __m128 lp = _mm_add_ps(s.lpState, _mm_mul_ps(g, bpNext));
        const __m128 hp = _mm_sub_ps(_mm_sub_ps(x, _mm_mul_ps(k, bpNext)), _mm_add_ps(lp, guard));
        const SvfLaneOutputs out{hp, _mm_mul_ps(_mm_set1_ps(2.0f), bp), s.lpPrev};
        s.bpState = bpNext;
        s.lpState = _mm_add_ps(lp, guard);
        s.hpPrev = hp;
        s.lpPrev = lp;
        return out;
    }

    SvfLaneOutputs process(__m128 x, const SvfCoefficients& c) {
        Live s = load();
        const SvfLaneOutputs out = step(s, x, _mm_set1_ps(c.g), _mm_set1_ps(c.k));
        store(s);
        return out;
    }
};
