// Small helpers the modules' parameter mappings share.
#pragma once

#include <cmath>

inline float clampf(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }

// PeakHold coefficient for a fall to zero in ms milliseconds.
inline float peakHoldCoefficient(float ms, float fs) { return 1.0f / (ms * 0.001f * fs + 1e-09f); }

// x^1.5 for x >= 0 from correctly rounded operations only: the C libraries'
// pow functions differ in their last bit, and a send level computed at every
// control block would then make the Linux and Windows builds sound apart.
inline float powOneAndAHalf(float x) {
    const double d = x;
    return static_cast<float>(d * std::sqrt(d));
}
