#include "engine/SendBus.h"

#include "engine/SendEffect.h"

namespace {
void addInto(float* __restrict out, const float* __restrict ret, int32_t k) {
    for (int32_t j = 0; j < k; ++j) out[j] += ret[j];
}
} // namespace

void SendBus::flush(SendEffect& delay, SendEffect& reverb, float* outLeft, float* outRight, int32_t end) {
    const int32_t k = count;
    if (k <= 0) return;
    delay.process(delayL, delayR, k);
    reverb.process(reverbL, reverbR, k);
    float* l = outLeft + (end - k);
    addInto(l, delayL, k);
    addInto(l, reverbL, k);
    if (outRight) {
        float* r = outRight + (end - k);
        addInto(r, delayR, k);
        addInto(r, reverbR, k);
    }
    count = 0;
}
