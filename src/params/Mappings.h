// The mappings from a normalised value to what the engine uses.
#pragma once

#include <cmath>

namespace mapping {

// Values from outside 0..1 (or NaN) are held to the range before any mapping.
inline float unit(float v) { return v >= 0.0f ? (v <= 1.0f ? v : 1.0f) : 0.0f; }

// floor(min(limit, factor * v)), the selector form.
inline float selector(float v, float factor, float limit) {
    float x = factor * v;
    if (x > limit) x = limit;
    return std::trunc(x);
}

// floor(min(limit, factor * v + 0.001)): switches of this kind turn on at 0.4995.
inline float selectorUp(float v, float factor, float limit) {
    float x = factor * v + 0.001f;
    if (x > limit) x = limit;
    return std::trunc(x);
}

// Truncation to steps of 0.0001.
inline float steps(float x) { return std::trunc(x / 0.0001f) * 0.0001f; }

inline float masterGain(float v) { return 4.0f * v * v; }
inline float delayTime(float v) { return std::trunc(1.1f * v / 0.071429f) * 0.071429f; }
inline float reverbRoom(float v) { return 0.9f * v + 0.1f; }

} // namespace mapping
