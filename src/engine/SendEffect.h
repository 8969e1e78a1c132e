// What the engine asks of a send effect: its configuration, the settings of
// every control block, the flush of the sends and the resets of recompute.
// The effects implement it, so the engine never needs to know them.
#pragma once

#include <cstdint>

#include "engine/OutputStage.h"

class SendEffect {
public:
    virtual ~SendEffect() = default;
    // Overwrites count samples of both buffers with the effect's output.
    virtual void process(float* left, float* right, int32_t count) = 0;
    // process(), with each frame's output pair (lanes 0 and 1) then given to
    // mix.step: an effect that can does both in one loop.
    virtual void processInto(float* left, float* right, int32_t count, OutputStage::Run& mix) {
        process(left, right, count);
        for (int32_t j = 0; j < count; ++j) mix.step(j, _mm_unpacklo_ps(_mm_set_ss(left[j]), _mm_set_ss(right[j])));
    }
    virtual void setParameter(int32_t index, float value) = 0;
    virtual void setMode(int32_t which, int32_t value) = 0;
    virtual void reset() = 0;
    virtual void update() = 0;
    virtual void timingChanged(bool keepContents) = 0;
    virtual int32_t clear() = 0;
    virtual void setMix(float mix) = 0;
};
