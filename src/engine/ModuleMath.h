// Small helpers the modules' parameter mappings share.
#pragma once

inline float clampf(float x, float lo, float hi) { return x < lo ? lo : (x > hi ? hi : x); }

// PeakHold coefficient for a fall to zero in ms milliseconds.
inline float peakHoldCoefficient(float ms, float fs) { return 1.0f / (ms * 0.001f * fs + 1e-09f); }
