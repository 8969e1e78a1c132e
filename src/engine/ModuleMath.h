// Small helpers the modules' parameter mappings share. Single precision,
// in the order the mappings are written.
#pragma once

#include <cmath>

// Truncates to steps of 0.0001, the resolution of the stepped controls.
inline float quantiseStep(float x) { return std::trunc(x / 0.0001f) * 0.0001f; }

inline float clampf(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }

// floor(min(limit, x)) for the selectors derived from a normalised value.
inline int selectorIndex(float x, int limit) {
    const float m = x < static_cast<float>(limit) ? x : static_cast<float>(limit);
    return m > 0.0f ? static_cast<int>(m) : 0;
}

// fs / 44100, formed as the modules form it.
inline float rateRatio(float fs) { return fs * 2.2675737e-05f; }

// A LagSmoother coefficient is (frequency in Hz) times this.
inline float smoothingStep(float fs) { return 6.28f / fs; }

// A prewarp argument is (frequency in Hz) times this.
inline float piStep(float fs) { return 3.14159f / fs; }

// PeakHold coefficient for a fall to zero in ms milliseconds.
inline float peakHoldCoefficient(float ms, float fs) { return 1.0f / (ms * 0.001f * fs + 1e-09f); }
