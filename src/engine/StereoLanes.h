// Left and right of the chain in lanes 0 and 1 of one SSE2 vector (lanes 2
// and 3 ride along as zeros). Every helper performs, lane by lane, exactly the
// scalar operation it replaces, comparisons and NaN cases included, so the
// vector chain gives the scalar chain's bits on every build.
#pragma once

#include <bit>

#include <emmintrin.h>

#include "engine/StereoSample.h"

// Entry points that use vectors realign the stack on 32-bit x86, where a
// host may call with only 4-byte alignment.
#if defined(__i386__)
#define ORVEL_ALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define ORVEL_ALIGN_STACK
#endif

// Through a double, so that a pair already in a register stays there.
inline __m128 toLanes(StereoSample s) { return _mm_castpd_ps(_mm_set_sd(std::bit_cast<double>(s))); }
inline StereoSample fromLanes(__m128 v) { return std::bit_cast<StereoSample>(_mm_cvtsd_f64(_mm_castps_pd(v))); }
// State kept as four floats, so that no object needs 16-byte alignment.
inline __m128 loadLanes(const float (&s)[4]) { return _mm_loadu_ps(s); }
inline void storeLanes(float (&s)[4], __m128 v) { _mm_storeu_ps(s, v); }

inline __m128 selectLanes(__m128 mask, __m128 yes, __m128 no) {
    return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}

// clampf: x < lo ? lo : (x > hi ? hi : x), with lo <= hi.
inline __m128 clampLanes(__m128 x, __m128 lo, __m128 hi) { return _mm_max_ps(lo, _mm_min_ps(hi, x)); }

// softClip lane by lane.
inline __m128 softClipLanes(__m128 x) {
    const __m128 c = clampLanes(x, _mm_set1_ps(-2.0f), _mm_set1_ps(2.0f));
    const __m128 magnitude = _mm_andnot_ps(_mm_set1_ps(-0.0f), c);
    return _mm_mul_ps(c, _mm_sub_ps(_mm_set1_ps(1.0f), _mm_mul_ps(_mm_set1_ps(0.25f), magnitude)));
}

// The first-order high-pass step of FirstOrderHighPass in each lane: the new
// state v = (x - (G - 1) v[n-1]) / (G + 1), or times 1 / (G + 1) when scale
// holds that (processMultiply). The output is v - v[n-1].
template <bool Divide> inline __m128 highPassStateLanes(__m128 x, __m128 prev, __m128 gMinus1, __m128 scale) {
    const __m128 numerator = _mm_sub_ps(x, _mm_mul_ps(gMinus1, prev));
    return Divide ? _mm_div_ps(numerator, scale) : _mm_mul_ps(numerator, scale);
}

// detectorInput of the pair in lanes 0 and 1.
inline float detectorLanes(__m128 v) {
    return _mm_cvtss_f32(_mm_max_ss(v, _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1))));
}

// PeakHold::process in each lane, with its own coefficient k per lane.
inline __m128 peakHoldLanes(__m128 x, __m128 k, __m128& held, __m128& dec) {
    __m128 d = _mm_sub_ps(held, dec);
    d = _mm_andnot_ps(_mm_cmplt_ps(d, _mm_setzero_ps()), d);
    const __m128 rising = _mm_cmpgt_ps(x, d);
    held = selectLanes(rising, x, d);
    dec = selectLanes(rising, _mm_mul_ps(x, k), dec);
    return held;
}

// LagSmoother::process in each lane.
inline __m128 lagSmoothLanes(__m128 h, __m128 a, __m128& y1, __m128& y2, __m128& h1) {
    const __m128 y = _mm_add_ps(y2, _mm_mul_ps(a, _mm_sub_ps(h1, y2)));
    y2 = y1;
    y1 = y;
    h1 = h;
    return y;
}
