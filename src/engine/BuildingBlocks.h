// Small value types the engine modules are built from. Single precision,
// operations in exactly the order written.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/StereoSample.h"

// A value that moves to its target in equal steps over one control block.
struct ParamRamp {
    float current = 0.0f;
    float inc = 0.0f;

    void setTarget(float target) {
        inc = (target - current) * 0.03125f;
        if (-1e-07f < inc && inc < 1e-07f) {
            inc = 0.0f;
            current = target;
        }
    }
    float next() {
        current = current + inc;
        return current;
    }
    // True when every next() until the next setTarget gives one value: after
    // one step a zero increment adds nothing, whatever the zero's sign.
    bool settled() const { return inc == 0.0f; }
};

// True when every ramp given has settled: a stage may then take each one's
// value once for the whole stretch.
template <typename... Ramps>
bool allSettled(const Ramps&... ramps) {
    return (ramps.settled() && ...);
}

inline float softClip(float x) {
    if (x > 2.0f) x = 2.0f;
    if (x < -2.0f) x = -2.0f;
    return x * (1.0f - 0.25f * std::fabs(x));
}

// w + w^3/3 + 4/3 w^5: the prewarped first-order coefficient G.
inline float prewarp(float w) {
    const float w3 = w * w * w;
    const float w5 = w3 * w * w;
    return w + 0.333333f * w3 + 1.333333f * w5;
}

// Holds a peak, then lets it fall linearly: with k = 1/(T * 0.001 * fs + 1e-9)
// it reaches zero T milliseconds after the peak.
struct PeakHold {
    float held = 0.0f;
    float dec = 0.0f;

    float process(float x, float k) {
        float d = held - dec;
        if (d < 0.0f) d = 0.0f;
        if (x > d) {
            held = x;
            dec = x * k;
        } else {
            held = d;
        }
        return held;
    }
};

// y[n] = y[n-2] + a * (h[n-1] - y[n-2]).
struct LagSmoother {
    float y1 = 0.0f; // y[n-1]
    float y2 = 0.0f; // y[n-2]
    float h1 = 0.0f; // h[n-1]

    float process(float h, float a) {
        const float y = y2 + a * (h1 - y2);
        y2 = y1;
        y1 = y;
        h1 = h;
        return y;
    }
};

// Coefficients of a prewarped first-order filter.
struct FirstOrderCoefficients {
    float g = 0.0f;
    float gMinus1 = -1.0f;
    float gPlus1 = 1.0f;
    float invGPlus1 = 1.0f;

    void set(float G) {
        g = G;
        gMinus1 = G - 1.0f;
        gPlus1 = G + 1.0f;
        invGPlus1 = 1.0f / (G + 1.0f);
    }
};

// v[n] = (x[n] - (G - 1) v[n-1]) / (G + 1); y[n] = v[n] - v[n-1].
struct FirstOrderHighPass {
    float vPrev = 0.0f;

    float processDivide(float x, const FirstOrderCoefficients& c) {
        const float v = (x - c.gMinus1 * vPrev) / c.gPlus1;
        const float y = v - vPrev;
        vPrev = v;
        return y;
    }
    float processMultiply(float x, const FirstOrderCoefficients& c) {
        const float v = (x - c.gMinus1 * vPrev) * c.invGPlus1;
        const float y = v - vPrev;
        vPrev = v;
        return y;
    }
};
