// The end of every processing call: the master gain, ramped at call rate,
// and the DC blocker on both outputs.
#pragma once

#include <cstdint>

class OutputStage {
public:
    // Ramps from the gain of the previous call to the target over n samples;
    // a right channel of null is skipped.
    void applyMasterGain(float* left, float* right, int32_t n);
    // y = (x - x_prev) + 0.998 y_prev, the feedback in double precision.
    void blockDc(float* left, float* right, int32_t n);
    void resetDc();

    float appliedGain = 0.0f; // what the previous call ended with
    float targetGain = 1.0f;  // refreshed at every control block
    float dcInPrev[2] = {0.0f, 0.0f};
    float dcOutPrev[2] = {0.0f, 0.0f};
};
