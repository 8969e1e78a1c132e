#pragma once

struct StereoSample {
    float l = 0.0f;
    float r = 0.0f;
};

inline StereoSample operator*(StereoSample s, float g) { return {s.l * g, s.r * g}; }
// The detectors take the larger signed sample of the two channels: negative
// peaks do not drive them.
inline float detectorInput(StereoSample s) { return s.l > s.r ? s.l : s.r; }
