// The end of the chain: the master gain and the DC blocker, run over each
// stretch of output once the effect returns are in it. Both advance per
// sample, so the output does not depend on how the host splits its calls.
#pragma once

#include <cstdint>

// The master gain moves linearly to a new target over a fixed number of
// samples that starts at a control block: smooth on a change of `master`,
// and a fade-in from silence when the plug-in starts.
struct MasterGainRamp {
    static constexpr int32_t kLength = 512; // 16 control blocks, 11.6 ms at 44.1 kHz

    float current = 0.0f;
    float target = 0.0f;
    float step = 0.0f;
    int32_t remaining = 0;

    void setTarget(float t) {
        if (t == target) return;
        target = t;
        step = (t - current) / static_cast<float>(kLength);
        remaining = kLength;
    }
    float next() {
        if (remaining > 0) {
            current = current + step;
            if (--remaining == 0) current = target;
        }
        return current;
    }
    bool settled() const { return remaining == 0; }
};

// The send effects' returns for a stretch: delay, then reverb, per channel.
struct EffectReturns {
    const float* left[2];
    const float* right[2];
};

class OutputStage {
public:
    // The returns (unless null) added to n direct samples, then the master
    // gain and the DC blocker; a null right channel is skipped. The ramp is
    // retargeted only between such stretches.
    void finish(float* left, float* right, int32_t n, const EffectReturns* returns = nullptr);
    // y = (x - x_prev) + 0.998 y_prev, the feedback in double precision.
    void blockDc(float* left, float* right, int32_t n);
    void resetDc();

    MasterGainRamp master; // its target is refreshed at every control block
    float dcInPrev[2] = {0.0f, 0.0f};
    float dcOutPrev[2] = {0.0f, 0.0f};

private:
    void applyMasterGain(float* left, float* right, int32_t n);
};
