// Output filter of the send effects: a two-pole state-variable high-pass in
// double precision. The epsilon terms keep the states out of the denormal range
// while a tail dies away.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/EngineContext.h"

class EffectFilter {
public:
    // Registers the three state cells (not g and q), so that suspend zeroes them.
    EffectFilter(EngineContext* context, BufferRegistry* registry);
    ~EffectFilter();
    EffectFilter(const EffectFilter&) = delete;
    EffectFilter& operator=(const EffectFilter&) = delete;

    static constexpr double kEpsilon = static_cast<double>(1e-10f);
    static constexpr double kDamping = static_cast<double>(0.89f);

    float step(double x) {
        high = (x + kEpsilon) - low - q * band;
        band = g * high + kEpsilon + band;
        low = (low - kEpsilon) + g * band;
        return static_cast<float>(high);
    }
    // What the effects' reset does: states and coefficient to zero.
    void clearState() { low = high = band = g = 0.0; }
    // Cutoff value v sets g = v^4 (in single precision); values beyond 1 change nothing.
    void setCutoff(float value) {
        const float p = value * value * value * value;
        if (p <= 1.0f) g = static_cast<double>(p);
    }

    double low = 0.0;
    double high = 0.0;
    double band = 0.0;
    double g = 0.0;
    double q = kDamping;

    EngineContext* context() const { return context_; }

private:
    EngineContext* context_;
    BufferRegistry* registry_;
};

// The left and right filters of an effect stepped together, one channel per
// lane, with their states held in registers over a block: the same double
// operations in the same order as step(), so the output is bit-identical.
// store() writes the states back; nothing may step the filters in between.
class EffectFilterPair {
public:
    EffectFilterPair(EffectFilter& left, EffectFilter& right) : left_(left), right_(right) {
#if defined(__SSE2__)
        low_ = _mm_set_pd(right.low, left.low);
        band_ = _mm_set_pd(right.band, left.band);
        high_ = _mm_set_pd(right.high, left.high);
        g_ = _mm_set_pd(right.g, left.g);
        q_ = _mm_set_pd(right.q, left.q);
#endif
    }

#if defined(__SSE2__)
    // Lanes 0 and 1 of x in, the filtered pair out in lanes 0 and 1.
    __m128 step(__m128 x) {
        const __m128d eps = _mm_set1_pd(EffectFilter::kEpsilon);
        high_ = highFrom(x, eps);
        band_ = _mm_add_pd(_mm_add_pd(_mm_mul_pd(g_, high_), eps), band_);
        low_ = _mm_add_pd(_mm_sub_pd(low_, eps), _mm_mul_pd(g_, band_));
        return _mm_cvtpd_ps(high_);
    }

    // Both cutoffs at 0, where the effects run: then g times a finite value is
    // a zero, so band becomes band + eps and low becomes low - eps, exactly
    // what step() gives, without its chain from band through high back to
    // band frame after frame. A non-finite high or band takes step()'s own
    // formulas, so that it spreads as it always did.
    static bool zeroCutoff(const EffectFilter& left, const EffectFilter& right) {
        return left.g == 0.0 && right.g == 0.0;
    }
    template <bool ZeroCutoff> __m128 step(__m128 x) {
        if constexpr (!ZeroCutoff) {
            return step(x);
        } else {
            const __m128d eps = _mm_set1_pd(EffectFilter::kEpsilon), zero = _mm_setzero_pd();
            high_ = highFrom(x, eps);
            const __m128d band = _mm_add_pd(band_, eps);
            // A NaN in a lane unless high and the new band are both finite there.
            const __m128d finite = _mm_add_pd(_mm_mul_pd(high_, zero), _mm_mul_pd(band, zero));
            if (__builtin_expect(_mm_movemask_pd(_mm_cmpunord_pd(finite, finite)) != 0, 0)) {
                band_ = _mm_add_pd(_mm_add_pd(_mm_mul_pd(g_, high_), eps), band_);
                low_ = _mm_add_pd(_mm_sub_pd(low_, eps), _mm_mul_pd(g_, band_));
            } else {
                band_ = band;
                low_ = _mm_sub_pd(low_, eps);
            }
            return _mm_cvtpd_ps(high_);
        }
    }
#endif

    void step(float xl, float xr, float& yl, float& yr) {
#if defined(__SSE2__)
        const __m128 y = step(_mm_unpacklo_ps(_mm_set_ss(xl), _mm_set_ss(xr)));
        yl = _mm_cvtss_f32(y);
        yr = _mm_cvtss_f32(_mm_shuffle_ps(y, y, 1));
#else
        yl = left_.step(static_cast<double>(xl));
        yr = right_.step(static_cast<double>(xr));
#endif
    }

    void store() {
#if defined(__SSE2__)
        _mm_storel_pd(&left_.low, low_);
        _mm_storeh_pd(&right_.low, low_);
        _mm_storel_pd(&left_.band, band_);
        _mm_storeh_pd(&right_.band, band_);
        _mm_storel_pd(&left_.high, high_);
        _mm_storeh_pd(&right_.high, high_);
#endif
    }

private:
#if defined(__SSE2__)
    __m128d highFrom(__m128 x, __m128d eps) const {
        return _mm_sub_pd(_mm_sub_pd(_mm_add_pd(_mm_cvtps_pd(x), eps), low_), _mm_mul_pd(q_, band_));
    }
#endif
    EffectFilter& left_;
    EffectFilter& right_;
#if defined(__SSE2__)
    __m128d low_, band_, high_, g_, q_;
#endif
};
