// The effects section's resonant state-variable filter: high-pass, band-pass
// or low-pass, its frequency and resonance moved by the modulation sources.
#pragma once

#include <cstdint>

#include "engine/EngineContext.h"
#include "engine/StateVariableFilter.h"
#include "engine/StereoSample.h"

enum FilterType { kFilterHighPass = 0, kFilterBandPass = 1, kFilterLowPass = 2 };

class ResonantFilter {
public:
    // All three take the normalised value; setType derives the type itself.
    void setCutoff(float v);
    void setResonance(float v);
    void setType(float v);

    // m1, m2: modulation at the frequency and resonance destinations.
    void controlBlock(float m1, float m2, const EngineContext& ctx);
    // The filtered and soft-clipped signal F.
    StereoSample process(StereoSample dry) {
        StereoSample filtered;
        process(&dry, &filtered, 1);
        return filtered;
    }
    void process(const StereoSample* dry, StereoSample* filtered, int32_t n);

    // The filter frame by frame with its state in registers; store() writes it back.
    class Run {
    public:
        explicit Run(ResonantFilter& f)
            : f_(f), type_(f.type_), s_(f.state_.load()), g_(_mm_set1_ps(f.coefficients_.g)),
              k_(_mm_set1_ps(f.coefficients_.k)) {}
        FilterType type() const { return type_; }
        __m128 step(__m128 dry) {
            switch (type_) {
            case kFilterHighPass: return step<kFilterHighPass>(dry);
            case kFilterBandPass: return step<kFilterBandPass>(dry);
            default: return step<kFilterLowPass>(dry);
            }
        }
        // The same with the type known where it is called.
        template <FilterType T> __m128 step(__m128 dry) {
            const SvfLaneOutputs o = SvfStereo::step(s_, dry, g_, k_);
            return softClipLanes(T == kFilterHighPass ? o.high : T == kFilterBandPass ? o.band : o.low);
        }
        void store() { f_.state_.store(s_); }

    private:
        ResonantFilter& f_;
        const FilterType type_;
        SvfStereo::Live s_;
        const __m128 g_, k_;
    };

    float frequencyControl() const { return frequency_; }
    float resonanceControl() const { return resonance_; }
    FilterType type() const { return type_; }
    const SvfCoefficients& coefficients() const { return coefficients_; }

private:

    float baseFrequency_ = 0.0f; // u^4
    float baseResonance_ = 0.0f;
    float frequency_ = 0.0f; // modulated and clamped, 0..1
    float resonance_ = 0.0f; // modulated and clamped, 0..0.94
    FilterType type_ = kFilterHighPass;
    SvfCoefficients coefficients_;
    SvfStereo state_;
};
