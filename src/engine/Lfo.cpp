#include "engine/Lfo.h"

#include <cmath>

#include "engine/SineTable.h"
#include "params/Mappings.h"

void Lfo::setSpeed(float v, const EngineContext& ctx) {
    const float s = mapping::steps(0.97400004f * v + 0.025f);
    freeRate_ = 12.0f * (s * s);
    const float eighths = std::trunc(4.0f * s * 8.0f);
    syncedRate_ = eighths * 0.125f * ctx.constants.beatsPerSecond;
}

float Lfo::advance(const EngineContext& ctx) {
    phase_ = phase_ + rate() * ctx.controlBlockPeriod;
    while (phase_ > 1.0f) phase_ = phase_ - 1.0f;
    return sineTable.at(phase_);
}
