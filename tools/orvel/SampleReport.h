// What a render's samples are like: levels, samples that are not numbers a
// sound file can carry, and samples beyond full scale. Levels are computed
// over the finite samples only, and say so when there were others.
#pragma once

#include <cstddef>
#include <string>

#include "AudioFile.h"

struct SampleReport {
    size_t nonFinite = 0;          // NaN or infinite samples, both channels
    size_t firstNonFiniteFrame = 0;
    size_t overFullScale = 0;      // finite samples beyond -1..1
    double peakDb;                 // -inf for silence
    double rmsDb;                  // over the finite samples of the span measured
};

// Peak over all frames, RMS over the first rmsFrames (all when larger), so
// that an output with a tail compares with its input.
SampleReport inspectSamples(const StereoAudio& audio, size_t rmsFrames);

// "-6.0", or "-inf".
std::string formatDb(double db);
// "peak -6.0 RMS -20.1 dBFS", with a note when non-finite samples were left out.
std::string describeLevels(const SampleReport& report);
// "0.046 s": where a frame lies.
std::string formatTime(size_t frame, int sampleRate);
