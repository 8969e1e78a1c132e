// Steady-state gain of a per-sample process at one frequency, for checks in
// the frequency domain.
#pragma once

#include <cmath>
#include <functional>

#include "engine/StereoSample.h"

// Feeds a sine of the given amplitude into both channels, lets the process
// settle, and answers the RMS ratio of the left output to the input.
inline double sineGain(const std::function<StereoSample(StereoSample)>& process, double hz, double fs = 44100.0,
                       double amplitude = 0.01, int settle = 22050, int measure = 22050) {
    const double w = 2.0 * 3.14159265358979323846 * hz / fs;
    double inSum = 0.0, outSum = 0.0;
    for (int n = 0; n < settle + measure; ++n) {
        const float x = static_cast<float>(amplitude * std::sin(w * n));
        const StereoSample y = process({x, x});
        if (n >= settle) {
            inSum += static_cast<double>(x) * x;
            outSum += static_cast<double>(y.l) * y.l;
        }
    }
    return std::sqrt(outSum / inSum);
}

inline double toDb(double gain) { return 20.0 * std::log10(gain); }
