// The four 32-sample send buffers between the chain and the send effects.
#pragma once

#include <cstdint>

#include "engine/EngineContext.h"
#include "engine/OutputStage.h"

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

    // Runs the delay, then the reverb, on the collected sends, in place: the
    // buffers then hold their returns, for the output stage to add to the
    // very samples that produced them.
    void runEffects(SendEffect& delay, SendEffect& reverb);
    EffectReturns returns() const { return {{delayL, reverbL}, {delayR, reverbR}}; }

    alignas(16) float delayL[kControlBlockSize] = {};
    alignas(16) float delayR[kControlBlockSize] = {};
    alignas(16) float reverbL[kControlBlockSize] = {};
    alignas(16) float reverbR[kControlBlockSize] = {};
    int32_t count = 0;
};
