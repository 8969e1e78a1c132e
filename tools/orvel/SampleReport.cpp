#include "SampleReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

double decibels(double v) { return v > 0 ? 20.0 * std::log10(v) : -std::numeric_limits<double>::infinity(); }

} // namespace

SampleReport inspectSamples(const StereoAudio& audio, size_t rmsFrames) {
    SampleReport r;
    const size_t frames = audio.frames(), span = std::min(rmsFrames, frames);
    double peak = 0.0, sum = 0.0;
    size_t counted = 0;
    for (size_t i = 0; i < frames; ++i)
        for (const float s : {audio.left[i], audio.right[i]}) {
            if (!std::isfinite(s)) {
                if (r.nonFinite++ == 0) r.firstNonFiniteFrame = i;
                continue;
            }
            const double a = std::fabs(static_cast<double>(s));
            peak = std::max(peak, a);
            if (a > 1.0) ++r.overFullScale;
            if (i < span) {
                sum += a * a;
                ++counted;
            }
        }
    r.peakDb = decibels(peak);
    r.rmsDb = decibels(counted ? std::sqrt(sum / static_cast<double>(counted)) : 0.0);
    return r;
}

std::string formatDb(double db) {
    if (std::isinf(db)) return db < 0 ? "-inf" : "inf";
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f", db);
    return text;
}

std::string describeLevels(const SampleReport& r) {
    std::string text = "peak " + formatDb(r.peakDb) + " RMS " + formatDb(r.rmsDb) + " dBFS";
    if (r.nonFinite) text += " (of the finite samples; " + std::to_string(r.nonFinite) + " are NaN or infinite)";
    return text;
}

std::string formatTime(size_t frame, int sampleRate) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.3f s", static_cast<double>(frame) / sampleRate);
    return text;
}
