// Output filter of the send effects: a two-pole state-variable high-pass in
// double precision. The epsilon terms keep the states out of the denormal range
// while a tail dies away.
#pragma once

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
