#include "engine/SendBus.h"

#include "engine/SendEffect.h"

void SendBus::runEffects(SendEffect& delay, SendEffect& reverb) {
    if (count <= 0) return;
    delay.process(delayL, delayR, count);
    reverb.process(reverbL, reverbR, count);
}
