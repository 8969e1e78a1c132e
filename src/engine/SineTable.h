// The LFO's wavetable: one sine cycle of 1024 steps plus a wrap entry, and the
// slope from each entry to the next for linear interpolation.
#pragma once

constexpr int kSineTableSize = 1024;

struct SineTable {
    float sine[kSineTableSize + 1];
    float slope[kSineTableSize];

    // Linear interpolation at phase 0..1 (a phase of exactly 1 reads entry 0).
    float at(float phase) const;
};

extern const SineTable sineTable;
