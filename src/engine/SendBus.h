// The four 32-sample send buffers between the chain and the send effects.
#pragma once

#include <cstdint>

#include "engine/EngineContext.h"

class SendEffect;

class SendBus {
public:
    void write(float delayLeft, float delayRight, float reverbLeft, float reverbRight) {
        delayL[count] = delayLeft;
        delayR[count] = delayRight;
        reverbL[count] = reverbLeft;
        reverbR[count] = reverbRight;
        ++count;
    }
    bool full() const { return count >= kControlBlockSize; }

    // Runs the delay, then the reverb, on the collected sends and adds their
    // returns to the very samples that produced them: [end - count, end).
    // A null right output is skipped.
    void flush(SendEffect& delay, SendEffect& reverb, float* outLeft, float* outRight, int32_t end);

    alignas(16) float delayL[kControlBlockSize] = {};
    alignas(16) float delayR[kControlBlockSize] = {};
    alignas(16) float reverbL[kControlBlockSize] = {};
    alignas(16) float reverbR[kControlBlockSize] = {};
    int32_t count = 0;
};
