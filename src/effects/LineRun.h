// Four consecutive samples of a circular delay line as one SSE2 vector (time
// in the lanes), for effects whose lines are longer than the block they run.
#pragma once

#include <cstdint>
#include <cstring>

#include <emmintrin.h>

#include "engine/StereoLanes.h" // ORVEL_ALIGN_STACK

// Position `step` samples after p on a line of `length` samples (step <= length).
inline uint32_t lineAdvance(uint32_t p, uint32_t step, uint32_t length) {
    p += step;
    return p >= length ? p - length : p;
}

// Samples p, p+1, p+2, p+3 (wrapping at the end of the line).
inline __m128 loadLineRun(const float* line, uint32_t p, uint32_t length) {
    if (p + 4 <= length) return _mm_loadu_ps(line + p);
    float run[4];
    for (uint32_t k = 0; k < 4; ++k) run[k] = line[lineAdvance(p, k, length)];
    return _mm_loadu_ps(run);
}

inline void storeLineRun(float* line, uint32_t p, uint32_t length, __m128 v) {
    if (p + 4 <= length) {
        _mm_storeu_ps(line + p, v);
        return;
    }
    float run[4];
    _mm_storeu_ps(run, v);
    for (uint32_t k = 0; k < 4; ++k) line[lineAdvance(p, k, length)] = run[k];
}

// Lanes whose exponent bits are all zero (zeros and denormals) become +0.
inline __m128 flushDenormalLanes(__m128 v) {
    const __m128i exponent = _mm_and_si128(_mm_castps_si128(v), _mm_set1_epi32(0x7F800000));
    const __m128 isTiny = _mm_castsi128_ps(_mm_cmpeq_epi32(exponent, _mm_setzero_si128()));
    return _mm_andnot_ps(isTiny, v);
}

// The scalar twin of flushDenormalLanes.
inline float flushDenormal(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    return (bits & 0x7F800000u) == 0 ? 0.0f : v;
}
